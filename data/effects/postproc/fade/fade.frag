#version 420
// Fades toward black (color.x 0) or white (color.x 1) by color.y.
uniform sampler2D Texture;
uniform vec2 color;
in vec2 uv;
out vec4 FragColor;

void main()
{
    vec4 c = texture(Texture, uv);
    FragColor = vec4(mix(c.rgb, vec3(color.x), clamp(color.y, 0.0, 1.0)), c.a);
}
