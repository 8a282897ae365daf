#version 420
// One round of gathering the radial blur's smear toward the centre
// (RadialBlurParams.xy), drawn at a fraction of the render size: `Taps` taps
// along the line to the centre, the first pulled toward it by Scale.x and
// weighing Weight.x, each next one pulled by Scale.y and weighing Weight.y
// times more, their sum times Weight.z. The first round reads the picture,
// each later one the round before (Radblur::rounds); the pass works the
// counts, pulls and weights out once a round.
// radblur.frag adds the pixel itself at full size.
uniform sampler2D Texture;
uniform vec4 RadialBlurParams;
uniform int Taps;
uniform vec2 Scale;
uniform vec3 Weight;
in vec2 uv;
out vec4 FragColor;

void main()
{
    vec2 centre = RadialBlurParams.xy;
    vec2 toward = uv - centre;
    float scale = Scale.x;
    float weight = Weight.x;
    vec4 sum = vec4(0.0);
    // Taps (at most Radblur::kMaxCloseTaps) bounds the loop alone: with a
    // constant bound as well the compiler unrolls the loop to that bound and
    // every pixel of every round pays for all of its taps, used or not.
    for (int i = 0; i < Taps; ++i) {
        sum += texture(Texture, centre + toward * scale) * weight;
        scale *= Scale.y;
        weight *= Weight.y;
    }
    FragColor = sum * Weight.z;
}
