#include "effects/postproc/radblur.h"

#include <GL/glew.h>

#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

Radblur::Radblur() {
    name = "Radblur";
    add_param("CntrX", 0.5f);
    add_param("CntrY", 0.5f);
    add_param("Step", 0.9f);
    add_param("Strength", 1.0f);
    shader = new ShaderProgram("data/effects/postproc/radblur/radblur.vert",
                               "data/effects/postproc/radblur/radblur.frag");
}

void Radblur::render(int, int, float) {
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    bind_with_projection();
    // (CntrX, CntrY, Step, Strength) as one vector.
    shader->set_uniform4fv("RadialBlurParams", params.data(), 1);
}

}  // namespace Effects
