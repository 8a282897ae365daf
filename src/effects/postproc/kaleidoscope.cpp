#include "effects/postproc/kaleidoscope.h"

#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

KaleidoscopePass::KaleidoscopePass(const std::string& pass_name) {
    name = pass_name;
    add_param("Rotation", 0.0f);
    add_param("Divisions", 7.0f);
    shader = new ShaderProgram("data/effects/postproc/kaleidoscope/kaleidoscope.vert",
                               "data/effects/postproc/kaleidoscope/kaleidoscope.frag");
}

void KaleidoscopePass::render(int, int, float) {
    bind_with_projection();
    shader->set_uniform1f("Rotation", params[0]);
    shader->set_uniform1f("Divisions", params[1]);
}

}  // namespace Effects
