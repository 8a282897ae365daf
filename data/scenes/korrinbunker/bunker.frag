#version 420
// The photo at strength Intensities.x with its outlines glowing in EdgeColor
// at strength Intensities.y. The outlines come from the screen-space change
// of brightness (fwidth), so they cost no texture read beyond the photo's
// own; EdgeColor's alpha fades the whole picture.
uniform sampler2D Texture;
uniform vec4 EdgeColor;
uniform vec2 Intensities;
in vec2 uv;
out vec4 FragColor;

void main()
{
    vec3 photo = texture(Texture, uv).rgb;
    float luma = dot(photo, vec3(0.299, 0.587, 0.114));
    float edge = clamp(fwidth(luma) * 6.0, 0.0, 1.0);
    vec3 colour = photo * Intensities.x + EdgeColor.rgb * edge * Intensities.y;
    FragColor = vec4(colour, EdgeColor.a);
}
