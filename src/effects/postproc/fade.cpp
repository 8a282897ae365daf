#include "effects/postproc/fade.h"

#include <cmath>

#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

Fade::Fade(const PassInfo& row) : PostProc(row) {}

bool Fade::changes_picture() const { return params[0] != 0.0f; }

void Fade::render(int, int, float) {
    bind_with_projection();
    // x: the target (1 white, 0 black), y: how far toward it.
    shader->set_uniform2f("color", params[0] > 0.0f ? 1.0f : 0.0f, std::fabs(params[0]));
}

}  // namespace Effects
