#include "effects/postproc/kaleidoscope.h"

#include <algorithm>
#include <cmath>

#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

KaleidoscopePass::KaleidoscopePass(const PassInfo& row) : PostProc(row) {}

ViewportRect KaleidoscopePass::source_area(int width, int height) const {
    const float divisions = std::floor(params[1]);
    if (!(divisions >= 1.0f)) return {0, 0, width, height};
    // In texture coordinates, from the centre: the half wedge's angles and
    // the distance of the corners.
    const float half = 3.14159265f / divisions;
    const float reach = std::sqrt(0.5f);
    const float u0 = 0.5f + std::min(0.0f, std::cos(half) * reach);
    const float v1 = 0.5f + reach * (half >= 1.5707963f ? 1.0f : std::sin(half));
    // Two pixels more each way: the bilinear neighbours, and the rounding of
    // the fold (an angle a hair below 0).
    constexpr int kMargin = 2;
    const int x0 = std::max(0, static_cast<int>(std::floor(u0 * static_cast<float>(width))) - kMargin);
    const int y0 = std::max(0, height / 2 - kMargin);
    const int y1 = std::min(height, static_cast<int>(std::ceil(v1 * static_cast<float>(height))) + kMargin);
    return {x0, y0, width - x0, y1 - y0};
}

void KaleidoscopePass::render(int, int, float) {
    bind_with_projection();
    shader->set_uniform1f("Rotation", params[0]);
    shader->set_uniform1f("Divisions", params[1]);
}

}  // namespace Effects
