#include "scenes/vertex_colour_scene.h"

#include "system/fatal.h"
#include "util/camera/cameradriver.h"
#include "util/shaderprogram/shaderconstructor.h"
#include "util/shaderprogram/shaderprogram.h"

namespace {
// Units per second of the free-fly camera.
constexpr float kVertexColourCameraSpeed = 15.0f;
}  // namespace

VertexColourScene::VertexColourScene() = default;
VertexColourScene::~VertexColourScene() = default;

void VertexColourScene::init_drawing(const std::string& program_name) {
    program = std::make_unique<ShaderProgram>(make_shader_vertex_color3d(program_name));
    camera.set_clip(0.00001f, 500.0f);
}

void VertexColourScene::begin_frame(bool depth_writes_off) {
    update_camera(camera, keys, input, kVertexColourCameraSpeed, music);
    camera.setup(width, height, aspect, 1.0f);
    program->bind();
    program->set_uniform_matrix4fv("ProjectionMatrix", camera.get_projection_matrix().data(), 1, false);
    program->set_uniform_matrix4fv("ModelViewMatrix", camera.get_view_matrix().data(), 1, false);

    glEnable(GL_BLEND);
    if (depth_writes_off) glDepthMask(GL_FALSE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_CULL_FACE);
    streams.clear();
}

void VertexColourScene::draw_streams(GLenum mode) {
    vao.set_attribute(4, 4, static_cast<uint32_t>(streams.colours.size()), streams.colours.data(), 0);
    vao.set_attribute(0, 3, static_cast<uint32_t>(streams.positions.size()), streams.positions.data(), 0);
    vao.set_indices(0, nullptr);
    vao.draw(mode);
}
