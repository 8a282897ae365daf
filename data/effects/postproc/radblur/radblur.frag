#version 420
// Radial blur toward the centre at the full size: the pixel itself (weight
// 1) and the smear along the line to the centre (the weight of nine taps),
// gathered at a fraction of the size (radblur_gather.frag, texture unit 1);
// RadialBlurParams.w mixes the blurred picture over the original. The
// pixel's own tap stays at full size, so what the smear leaves in place keeps
// its detail. Strength 0, or a Step of 1 or more (every tap on the pixel),
// leaves the picture unchanged.
uniform sampler2D Texture;
uniform sampler2D Gathered;
uniform vec4 RadialBlurParams;
in vec2 uv;
out vec4 FragColor;

// 0.9 + 0.9^2 + ... + 0.9^9: the weight of the nine taps together.
const float kTapWeight = 5.5132156;

void main()
{
    vec4 original = texture(Texture, uv);
    if (RadialBlurParams.w == 0.0 || !(RadialBlurParams.z < 1.0)) {
        FragColor = original;
        return;
    }
    vec4 taps = texture(Gathered, uv);
    FragColor = mix(original, (original + taps * kTapWeight) / (1.0 + kTapWeight), RadialBlurParams.w);
}
