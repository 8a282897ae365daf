#version 420
// Radial blur toward the centre (RadialBlurParams.xy) in one full-size step:
// the pixel itself (weight 1) and the smear along the line to the centre,
// nine steps of the factor mix(1, RadialBlurParams.z, 0.25) weighted 0.9 per
// step, read with taps no more than a pixel apart (as many as that takes, up
// to 2048): the smear as a continuous one. RadialBlurParams.w mixes the
// blurred picture over the original.
uniform sampler2D Texture;
uniform vec4 RadialBlurParams;
in vec2 uv;
out vec4 FragColor;

void main()
{
    vec2 centre = RadialBlurParams.xy;
    float pull = mix(1.0, clamp(RadialBlurParams.z, 0.0, 1.0), 0.25);
    vec4 original = texture(Texture, uv);
    vec2 toward = uv - centre;
    float span = length(toward * vec2(textureSize(Texture, 0))) * (1.0 - pow(pull, 9.0));
    int taps = clamp(int(ceil(span)), 9, 2048);
    vec4 sum = vec4(0.0);
    float total = 0.0;
    for (int i = 0; i < taps; ++i) {
        float at = 0.5 + (float(i) + 0.5) * 9.0 / float(taps);
        float weight = pow(0.9, at);
        sum += texture(Texture, centre + toward * pow(pull, at)) * weight;
        total += weight;
    }
    // The smear weighs as much as nine whole-step taps: 0.9 + ... + 0.9^9.
    const float smear = 5.5132156;
    FragColor = mix(original, (original + sum / total * smear) / (1.0 + smear), RadialBlurParams.w);
}
