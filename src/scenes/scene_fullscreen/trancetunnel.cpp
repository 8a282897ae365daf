#include "scenes/scene_fullscreen/trancetunnel.h"

#include <GL/glew.h>

#include "util/music/music.h"
#include "util/shaderprogram/shaderprogram.h"

TranceTunnel::TranceTunnel()
    : FullScreenShaderScene("data/scenes/trancetunnel/trancetunnel.vert", "data/scenes/trancetunnel/trancetunnel.frag") {}

void TranceTunnel::draw() {
    program->bind();
    set_uniforms(*program);
    // The fixed-function rectangle: its corners reach the vertex shader as
    // gl_Vertex, with no vertex array bound.
    glRects(-1, -1, 1, 1);
}

void TranceTunnel::set_uniforms(ShaderProgram& bound) {
    bound.set_uniform1f("fft", music->get_level() * 100.0f);
    bound.set_uniform1f("time", music->get_beats());
}
