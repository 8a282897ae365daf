#include "effects/postproc/gather_step.h"

#include <GL/glew.h>

#include <algorithm>
#include <utility>

#include "util/fbo/fbo.h"
#include "util/math/mat4.h"
#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

int reduced_size(int full, int divisor) { return std::max(1, (full + divisor - 1) / divisor); }

GatherStep::GatherStep(const PassInfo& pass)
    : program(std::make_unique<ShaderProgram>(
          pass_shader_path(pass, ".vert"),
          pass_shader_path(pass, "_gather.frag"))),
      target(std::make_unique<FBO>(1, 1, FBO_TYPE_RGBA8_NO_DEPTH, 0)),
      next(std::make_unique<FBO>(1, 1, FBO_TYPE_RGBA8_NO_DEPTH, 0)) {}

GatherStep::~GatherStep() = default;

ShaderProgram& GatherStep::bind() {
    static const mat4 projection(mat4::PRESET_UNIT_SQUARE);
    program->bind();
    program->set_uniform_matrix4fv("ProjectionMatrix", projection.data(), 1, false);
    return *program;
}

void GatherStep::draw(FBO* source, int width, int height, int divisor) {
    target->resize(reduced_size(width, divisor), reduced_size(height, divisor));
    // No clear: the unblended quad overwrites every pixel, and without depth
    // nothing can reject it.
    target->push(false);
    source->draw();
    target->pop();
}

void GatherStep::draw_again() {
    next->resize(target->get_width(), target->get_height());
    next->push(false);
    target->draw();
    next->pop();
    std::swap(target, next);
}

void GatherStep::bind_result(int unit) {
    target->bind_texture(0, unit);
    glActiveTexture(GL_TEXTURE0);
}

}  // namespace Effects
