#include "effects/postproc/radblur.h"

#include <GL/glew.h>

#include <cmath>

#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

namespace {

// Where the smear starts and how many steps it runs: it weighs as much as
// nine taps at whole steps 1 .. 9 would (radblur.frag), each reading the
// part from half a step before it to half a step after.
constexpr float kFirstStep = 0.5f;
constexpr float kReach = 9.0f;

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
    // Three rounds at most six taps each, the last one's taps within two
    // pixels: at the shows' Step of 0.6 that reads a whole 1280 x 720
    // picture with at most ten.
    static const std::vector<RadblurRound> plan = rounds({6, 6});
    return plan;
}

bool Radblur::changes_picture() const { return params[3] != 0.0f && params[2] < 1.0f; }

void Radblur::update(int width, int height, float, FBO* source) {
    if (!changes_picture()) return;
    ShaderProgram& gather = taps.bind();
    // (CntrX, CntrY, Step, Strength) as one vector.
    gather.set_uniform4fv("RadialBlurParams", params.data(), 1);
    gather.set_uniform2f("Pixels", static_cast<float>(width), static_cast<float>(height));
    const std::vector<RadblurRound>& plan = rounds();
    for (size_t i = 0; i < plan.size(); ++i) {
        gather.set_uniform3f("Round", plan[i].start, plan[i].reach, static_cast<float>(plan[i].taps));
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
