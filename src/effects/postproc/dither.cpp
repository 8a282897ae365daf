#include "effects/postproc/dither.h"

#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

Dither::Dither(const PassInfo& row) : PostProc(row) {}

void Dither::render(int width, int height, float) {
    bind_with_projection();
    float k = 1.0f - 0.85f * params[0];
    k = k * (k * k);
    shader->set_uniform2f("blocks", static_cast<float>(width) * k, static_cast<float>(height) * k);
}

}  // namespace Effects
