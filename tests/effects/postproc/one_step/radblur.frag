#version 420
// Radial blur toward the centre (RadialBlurParams.xy): each tap is pulled
// toward the centre by the factor RadialBlurParams.z; RadialBlurParams.w mixes
// the blurred picture over the original.
uniform sampler2D Texture;
uniform vec4 RadialBlurParams;
in vec2 uv;
out vec4 FragColor;

void main()
{
    vec2 centre = RadialBlurParams.xy;
    float step = clamp(RadialBlurParams.z, 0.0, 1.0);
    vec4 original = texture(Texture, uv);
    vec4 sum = original;
    float scale = 1.0;
    float weight = 1.0;
    float total = 1.0;
    for (int i = 1; i < 10; ++i) {
        scale *= mix(1.0, step, 0.25);
        weight *= 0.9;
        sum += texture(Texture, centre + (uv - centre) * scale) * weight;
        total += weight;
    }
    FragColor = mix(original, sum / total, RadialBlurParams.w);
}
