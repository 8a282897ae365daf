#include "effects/radialblur/radialblur.h"

#include <GL/glew.h>

#include "system/fatal.h"
#include "util/shaderprogram/shaderprogram.h"
#include "util/texture/texture.h"

namespace Effects {

RadialBlur::RadialBlur(RadialBlurWeighting weighting) : use_iterations(weighting.iterations) {
    if (weighting.intensity && weighting.iterations)
        FATAL_ERROR("Intensity and iterations at the same time not yet supported!");
    origin_shader = std::make_unique<ShaderProgram>("data/effects/radialblur/radialblur.vert",
                                                    "data/effects/radialblur/radialblur_origin.frag");
    iterations_shader = std::make_unique<ShaderProgram>("data/effects/radialblur/radialblur.vert",
                                                        "data/effects/radialblur/radialblur_origin_iterations.frag");
}

RadialBlur::~RadialBlur() = default;

void RadialBlur::render(float) {
    if (!texture) FATAL_ERROR("Trying to radialblur without setting texture");
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    ShaderProgram& program = use_iterations ? *iterations_shader : *origin_shader;
    program.bind();
    program.set_uniform4f("RadialBlurParams", origin_x, origin_y, step, use_iterations ? iterations : intensity);
    glColor4f(colour.r, colour.g, colour.b, colour.a);
    texture->draw(0.0f, 0.0f, 1.0f, 1.0f);
}

}  // namespace Effects
