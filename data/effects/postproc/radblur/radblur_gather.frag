#version 420
// Radial blur toward the centre (RadialBlurParams.xy), drawn at half the
// render size. The smear reaches as far as nine steps toward the centre, each
// step pulling by the factor mix(1, RadialBlurParams.z, 0.25) and weighing 0.9
// times the one before; radblur.frag adds the pixel itself at full size.
//
// The smear is read as a continuous one: nine taps alone lie tens of pixels
// apart on the outer parts of the picture, and a thin bright line then leaves
// a row of separate copies instead of a streak. So each pixel takes as many
// taps as keep them within two source pixels of each other along its line to
// the centre (nine at least, 48 at most; with 48 they are still closer than a
// thin line is wide at 1280 x 720), with the weights and reach of the nine.
uniform sampler2D Texture;
uniform vec4 RadialBlurParams;
in vec2 uv;
out vec4 FragColor;

const float kReach = 9.0;
const int kMinTaps = 9;
const int kMaxTaps = 48;
const float kTapSpacing = 2.0;  // source pixels

void main()
{
    vec2 centre = RadialBlurParams.xy;
    float pull = mix(1.0, clamp(RadialBlurParams.z, 0.0, 1.0), 0.25);
    vec2 toward = uv - centre;
    // How far the smear runs at this pixel, in pixels of the source.
    float span = length(toward * vec2(textureSize(Texture, 0))) * (1.0 - pow(pull, kReach));
    int taps = clamp(int(ceil(span / kTapSpacing)), kMinTaps, kMaxTaps);
    // Tap i of n sits at 0.5 + (i + 0.5) * 9 / n steps: with nine taps, at
    // whole steps 1 .. 9.
    float stride = kReach / float(taps);
    float first = 0.5 + 0.5 * stride;
    float scale = pow(pull, first);
    float weight = pow(0.9, first);
    float scale_step = pow(pull, stride);
    float weight_step = pow(0.9, stride);
    vec4 sum = vec4(0.0);
    float total = 0.0;
    for (int i = 0; i < taps; ++i) {
        sum += texture(Texture, centre + toward * scale) * weight;
        total += weight;
        scale *= scale_step;
        weight *= weight_step;
    }
    FragColor = sum / total;
}
