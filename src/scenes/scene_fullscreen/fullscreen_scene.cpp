#include "scenes/scene_fullscreen/fullscreen_scene.h"

#include <GL/glew.h>

#include "util/easydraw/easydraw.h"
#include "util/math/mat4.h"
#include "util/shaderprogram/shaderprogram.h"

void bind_fullscreen_program(ShaderProgram& program) {
    static const mat4 projection(mat4::PRESET_UNIT_SQUARE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    program.bind();
    program.set_uniform_matrix4fv("ProjectionMatrix", projection.data(), 1, false);
}

FullScreenShaderScene::FullScreenShaderScene(const char* vertex_file, const char* fragment_file)
    : vertex_file_(vertex_file), fragment_file_(fragment_file) {}

FullScreenShaderScene::~FullScreenShaderScene() = default;

void FullScreenShaderScene::init() { program = std::make_unique<ShaderProgram>(vertex_file_, fragment_file_); }

void FullScreenShaderScene::draw() {
    bind_fullscreen_program(*program);
    set_uniforms(*program);
    easydraw_fullscreen_quad();
}
