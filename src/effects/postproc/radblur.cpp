#include "effects/postproc/radblur.h"

#include <GL/glew.h>

#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

Radblur::Radblur() : PostProc("Radblur") {}

void Radblur::render(int, int, float) {
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    bind_with_projection();
    // (CntrX, CntrY, Step, Strength) as one vector.
    shader->set_uniform4fv("RadialBlurParams", params.data(), 1);
}

}  // namespace Effects
