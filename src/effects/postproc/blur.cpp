#include "effects/postproc/blur.h"

#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

Blur::Blur() : PostProc("Blur") {}

void Blur::render(int, int, float) {
    bind_with_projection();
    shader->set_uniform1f("Scale", params[0] * 0.001f);
    shader->set_uniform1f("Iterations", params[1]);
}

}  // namespace Effects
