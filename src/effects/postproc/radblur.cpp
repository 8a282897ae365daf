#include "effects/postproc/radblur.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>

#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

namespace {

// Where the smear starts and how many steps it runs: it weighs as much as
// nine taps at whole steps 1 .. 9 would (radblur.frag), each reading the
// part from half a step before it to half a step after.
constexpr float kFirstStep = 0.5f;
constexpr float kReach = 9.0f;

// How much closer to the centre each step reads: a quarter of the way from
// 1 to the Step, which makes the shows' 0.6 pull by 0.9.
float pull_of(float step) { return 1.0f - 0.25f * (1.0f - std::clamp(step, 0.0f, 1.0f)); }

}  // namespace

Radblur::Radblur(const PassInfo& row) : PostProc(row), taps(row) {}

int Radblur::gather_divisor(float strength) {
    // A negative strength mixes the smear in as much, the other way.
    return std::fabs(strength) <= kQuarterSizeStrength ? 4 : 2;
}

std::vector<RadblurRound> Radblur::rounds(const std::vector<int>& spread) {
    std::vector<RadblurRound> plan;
    float reach = kReach;
    float start = kFirstStep;
    for (int taps : spread) {
        // Taps at `start` and whole multiples of `part` after it, the
        // middles of `taps` parts half a part earlier.
        const float part = reach / static_cast<float>(taps);
        plan.push_back({start - 0.5f * part, reach, taps});
        reach = part;
        start = 0.0f;
    }
    plan.push_back({start, reach, 0});
    return plan;
}

const std::vector<RadblurRound>& Radblur::rounds() {
    // Six taps, six more between each two of them, then the close round:
    // at the shows' Step of 0.6 on a centred 1280 x 720 picture the close
    // round takes ten taps.
    static const std::vector<RadblurRound> plan = rounds({6, 6});
    return plan;
}

int Radblur::close_taps(float step, float reach, float farthest) {
    // How far the round's taps run at the pixel farthest from the centre.
    const float span = farthest * (1.0f - std::pow(pull_of(step), reach));
    return std::clamp(static_cast<int>(std::ceil(span / kCloseTapSpacing)), 1, kMaxCloseTaps);
}

bool Radblur::changes_picture() const { return params[3] != 0.0f && params[2] < 1.0f; }

void Radblur::update(int width, int height, float, FBO* source) {
    if (!changes_picture()) return;
    ShaderProgram& gather = taps.bind();
    // (CntrX, CntrY, Step, Strength) as one vector.
    gather.set_uniform4fv("RadialBlurParams", params.data(), 1);
    const float pull = pull_of(params[2]);
    // The picture's corner farthest from the centre, in pixels.
    const float far_x = std::max(params[0], 1.0f - params[0]) * static_cast<float>(width);
    const float far_y = std::max(params[1], 1.0f - params[1]) * static_cast<float>(height);
    const float farthest = std::sqrt(far_x * far_x + far_y * far_y);
    const std::vector<RadblurRound>& plan = rounds();
    for (size_t i = 0; i < plan.size(); ++i) {
        const RadblurRound& round = plan[i];
        const int count = round.taps ? round.taps : close_taps(params[2], round.reach, farthest);
        const float stride = round.reach / static_cast<float>(count);
        const float first = round.start + 0.5f * stride;
        float total = 0.0f;
        for (int tap = 0; tap < count; ++tap) total += std::pow(0.9f, first + static_cast<float>(tap) * stride);
        gather.set_uniform1i("Taps", count);
        gather.set_uniform2f("Scale", std::pow(pull, first), std::pow(pull, stride));
        gather.set_uniform3f("Weight", std::pow(0.9f, first), std::pow(0.9f, stride), 1.0f / total);
        if (i == 0)
            taps.draw(source, width, height, gather_divisor(params[3]));
        else
            taps.draw_again();
    }
}

void Radblur::render(int, int, float) {
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    bind_with_projection();
    shader->set_uniform4fv("RadialBlurParams", params.data(), 1);
    shader->set_uniform1i("Gathered", 1);
    taps.bind_result(1);
}

}  // namespace Effects
