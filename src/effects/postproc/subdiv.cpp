#include "effects/postproc/subdiv.h"

#include <algorithm>
#include <cmath>

#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

Subdiv::Subdiv(const PassInfo& row) : PostProc(row) {}

ViewportRect Subdiv::source_area(int width, int height) const {
    return source_area_for({0, 0, width, height}, width, height);
}

ViewportRect Subdiv::source_area_for(const ViewportRect& drawn, int width, int height) const {
    // A pixel at uv (0 < uv < 1 at pixel centres) reads p * N + Off, where p
    // is uv turned by Rot about RotOff, then wrapped by fract. The map is
    // linear, so over the drawn rectangle it reaches its extremes at the
    // corners. Each axis is read only between those while it stays in
    // [0, 1), unwrapped; an axis that wraps is read whole. The last
    // thousandth is left out, so that rounding cannot reach 1 and wrap.
    const float size[2] = {static_cast<float>(width), static_cast<float>(height)};
    const float c = std::cos(params[4]), s = std::sin(params[4]);
    float lo[2] = {INFINITY, INFINITY}, hi[2] = {-INFINITY, -INFINITY};
    for (const int x : {drawn.x, drawn.x + drawn.width})
        for (const int y : {drawn.y, drawn.y + drawn.height}) {
            const float u = static_cast<float>(x) / size[0] - params[5];
            const float v = static_cast<float>(y) / size[1] - params[6];
            const float turned[2] = {c * u - s * v + params[5], s * u + c * v + params[6]};
            for (size_t axis = 0; axis < 2; ++axis) {
                const float read = turned[axis] * params[axis] + params[2 + axis];
                lo[axis] = std::min(lo[axis], read);
                hi[axis] = std::max(hi[axis], read);
            }
        }
    int edges[4] = {0, 0, width, height};
    for (int axis = 0; axis < 2; ++axis) {
        if (!(lo[axis] >= 0.0f) || !(hi[axis] <= 0.999f)) continue;
        // Two pixels more each way: the bilinear neighbours and rounding.
        constexpr int kMargin = 2;
        edges[axis] = std::max(0, static_cast<int>(std::floor(lo[axis] * size[axis])) - kMargin);
        edges[2 + axis] =
            std::min(static_cast<int>(size[axis]), static_cast<int>(std::ceil(hi[axis] * size[axis])) + kMargin);
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
