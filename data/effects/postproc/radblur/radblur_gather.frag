#version 420
// One round of gathering the radial blur's smear toward the centre
// (RadialBlurParams.xy), drawn at a fraction of the render size. Each step
// toward the centre pulls by the factor mix(1, RadialBlurParams.z, 0.25) and
// weighs 0.9 times the one before; radblur.frag adds the pixel itself at
// full size.
//
// The round's taps sit at the middles of Round.z equal parts of the steps
// Round.x to Round.x + Round.y, weighted and divided by their weights' sum.
// The first round reads the picture, each later one the round before
// (Radblur::rounds). Round.z 0, the last round: as many taps as keep them
// within two pixels of the render size (Pixels) of each other along the
// line to the centre, so that a thin bright line streaks instead of leaving
// a row of copies.
uniform sampler2D Texture;
uniform vec4 RadialBlurParams;
uniform vec3 Round;
uniform vec2 Pixels;
in vec2 uv;
out vec4 FragColor;

const int kMaxTaps = 24;
const float kTapSpacing = 2.0;  // pixels of the render size

void main()
{
    vec2 centre = RadialBlurParams.xy;
    float pull = mix(1.0, clamp(RadialBlurParams.z, 0.0, 1.0), 0.25);
    vec2 toward = uv - centre;
    int taps = int(Round.z);
    if (taps == 0) {
        // How far this round's taps run at this pixel.
        float span = length(toward * Pixels) * (pow(pull, Round.x) - pow(pull, Round.x + Round.y));
        taps = int(ceil(span / kTapSpacing));
    }
    taps = clamp(taps, 1, kMaxTaps);
    float stride = Round.y / float(taps);
    float first = Round.x + 0.5 * stride;
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
