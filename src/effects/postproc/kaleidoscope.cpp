#include "effects/postproc/kaleidoscope.h"

#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

KaleidoscopePass::KaleidoscopePass(const PassInfo& row) : PostProc(row) {}

void KaleidoscopePass::render(int, int, float) {
    bind_with_projection();
    shader->set_uniform1f("Rotation", params[0]);
    shader->set_uniform1f("Divisions", params[1]);
}

}  // namespace Effects
