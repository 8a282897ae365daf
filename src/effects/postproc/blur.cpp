#include "effects/postproc/blur.h"

#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

Blur::Blur() {
    name = "Blur";
    add_param("Scale", 2.5f);
    add_param("Iterations", 3.0f);
    shader = new ShaderProgram("data/effects/postproc/blur/blur.vert",
                               "data/effects/postproc/blur/blur.frag");
}

Blur::~Blur() {
    delete shader;
}

void Blur::render(int, int, float) {
    bind_with_projection();
    shader->set_uniform1f("Scale", params[0] * 0.001f);
    shader->set_uniform1f("Iterations", params[1]);
}

}  // namespace Effects
