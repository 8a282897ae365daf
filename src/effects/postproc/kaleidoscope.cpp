#include "effects/postproc/kaleidoscope.h"

#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

namespace {

const char kVertexFile[] = "data/effects/postproc/kaleidoscope/kaleidoscope.vert";
const char kFragmentFile[] = "data/effects/postproc/kaleidoscope/kaleidoscope.frag";

void set_kaleidoscope_uniforms(ShaderProgram* shader, float rotation, float divisions) {
    shader->set_uniform1f("Rotation", rotation);
    shader->set_uniform1f("Divisions", divisions);
}

}  // namespace

Kaleidoscope::Kaleidoscope() {
    name = "Kaleidoscope";
    add_param("Rotation", 0.0f);
    add_param("Divisions", 7.0f);
    shader = new ShaderProgram(kVertexFile, kFragmentFile);
}

void Kaleidoscope::render(int, int, float) {
    bind_with_projection();
    set_kaleidoscope_uniforms(shader, params[0], params[1]);
}

K2::K2() {
    name = "K2";
    add_param("Rotation", 0.0f);
    add_param("Divisions", 7.0f);
    shader = new ShaderProgram(kVertexFile, kFragmentFile);
}

void K2::render(int, int, float) {
    bind_with_projection();
    set_kaleidoscope_uniforms(shader, params[0], params[1]);
}

}  // namespace Effects
