#include "effects/postproc/blur.h"

#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

Blur::Blur(const PassInfo& row) : PostProc(row), rings(row) {}

bool Blur::changes_picture() const { return params[0] * 0.001f != 0.0f && !(params[1] < 1.0f); }

void Blur::update(int width, int height, float, FBO* source) {
    if (!changes_picture()) return;
    ShaderProgram& gather = rings.bind();
    gather.set_uniform1f("Scale", params[0] * 0.001f);
    gather.set_uniform1f("Iterations", params[1]);
    // A quarter of each side would soften thin lines inside the blur visibly.
    rings.draw(source, width, height, 2);
}

void Blur::render(int, int, float) {
    bind_with_projection();
    shader->set_uniform1f("Scale", params[0] * 0.001f);
    shader->set_uniform1f("Iterations", params[1]);
    shader->set_uniform1i("Gathered", 1);
    rings.bind_result(1);
}

}  // namespace Effects
