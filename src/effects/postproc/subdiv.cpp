#include "effects/postproc/subdiv.h"

#include <algorithm>
#include <cmath>

#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

Subdiv::Subdiv(const PassInfo& row) : PostProc(row) {}

ViewportRect Subdiv::source_area(int width, int height) const {
    const ViewportRect whole{0, 0, width, height};
    if (params[4] != 0.0f) return whole;
    // A pixel at uv (0 < uv < 1 at pixel centres) reads uv * N + Off, then
    // wrapped by fract: unwrapped while that stays in [0, 1). The last
    // thousandth is left out, so that rounding cannot reach 1 and wrap.
    int edges[4];
    const int sizes[2] = {width, height};
    for (int axis = 0; axis < 2; ++axis) {
        const float n = params[static_cast<size_t>(axis)], off = params[static_cast<size_t>(2 + axis)];
        const float lo = std::min(off, off + n), hi = std::max(off, off + n);
        if (!(lo >= 0.0f) || !(hi <= 0.999f)) return whole;
        // Two pixels more each way: the bilinear neighbours and rounding.
        constexpr int kMargin = 2;
        const float size = static_cast<float>(sizes[axis]);
        edges[axis] = std::max(0, static_cast<int>(std::floor(lo * size)) - kMargin);
        edges[2 + axis] = std::min(sizes[axis], static_cast<int>(std::ceil(hi * size)) + kMargin);
    }
    return {edges[0], edges[1], edges[2] - edges[0], edges[3] - edges[1]};
}

void Subdiv::render(int, int, float) {
    bind_with_projection();
    shader->set_uniform2f("N", params[0], params[1]);
    shader->set_uniform2f("Off", params[2], params[3]);
    shader->set_uniform1f("Rot", params[4]);
    shader->set_uniform2f("RotOff", params[5], params[6]);
}

}  // namespace Effects
