#version 420
// Radial blur toward the centre (RadialBlurParams.xy), drawn at half the
// render size: nine taps, each pulled toward the centre by the factor
// RadialBlurParams.z and weighted 0.9 times the one before, averaged.
// radblur.frag adds the pixel itself at full size.
uniform sampler2D Texture;
uniform vec4 RadialBlurParams;
in vec2 uv;
out vec4 FragColor;

// 0.9 + 0.9^2 + ... + 0.9^9: the weight of all nine taps.
const float kTapWeight = 5.5132156;

void main()
{
    vec2 centre = RadialBlurParams.xy;
    float step = clamp(RadialBlurParams.z, 0.0, 1.0);
    vec4 sum = vec4(0.0);
    float scale = 1.0;
    float weight = 1.0;
    for (int i = 1; i < 10; ++i) {
        scale *= mix(1.0, step, 0.25);
        weight *= 0.9;
        sum += texture(Texture, centre + (uv - centre) * scale) * weight;
    }
    FragColor = sum / kTapWeight;
}
