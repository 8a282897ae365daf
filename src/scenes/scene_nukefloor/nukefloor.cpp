#include "scenes/scene_nukefloor/nukefloor.h"

#include <GL/glew.h>

#include "util/camera/cameradriver.h"
#include "util/shaderprogram/shaderconstructor.h"
#include "util/shaderprogram/shaderprogram.h"
#include "util/texture/texture.h"

namespace {
// Units per second of the free-fly camera.
constexpr float kFloorCameraSpeed = 15.0f;

uint32_t float_count(const std::vector<float>& v) { return static_cast<uint32_t>(v.size()); }
}  // namespace

NukeFloor::NukeFloor() = default;
NukeFloor::~NukeFloor() = default;

void NukeFloor::init() {
    textures.push_back(
        std::make_unique<Texture>("data/scenes/nukefloor/smiley.jpg", true, true, GL_LINEAR, GL_LINEAR));
    // Without anisotropic sampling: llvmpipe spends seconds, some frames
    // minutes, on a cube's faces seen edge-on with it (a few frames of the
    // camera's circle took 15 s each at 320 x 180), and the faces of a floor
    // seen from above gain little from it.
    textures.front()->sample_without_anisotropy();
    program = std::make_unique<ShaderProgram>(make_shader_texture3d("nukefloor"));
    camera.set_clip(0.01f, 500.0f);
}

void NukeFloor::draw() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    update_camera(camera, keys, input, kFloorCameraSpeed, music);
    camera.setup(width, height, aspect, 1.0f);
    program->bind();
    program->set_uniform_matrix4fv("ProjectionMatrix", camera.get_projection_matrix().data(), 1, false);
    program->set_uniform_matrix4fv("ModelViewMatrix", camera.get_view_matrix().data(), 1, false);

    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);
    glEnable(GL_CULL_FACE);
    streams.clear();
    build_floor_and_draw();
}

void NukeFloor::build_floor_and_draw() {
    build_floor(streams);
    textures.front()->bind_and_enable();
    floor_vao.set_attribute(4, 4, float_count(streams.colours), streams.colours.data(), 0);
    floor_vao.set_attribute(0, 3, float_count(streams.positions), streams.positions.data(), 0);
    floor_vao.set_attribute(2, 2, float_count(streams.texcoords), streams.texcoords.data(), 0);
    floor_vao.set_attribute(1, 3, float_count(streams.normals), streams.normals.data(), 0);
    floor_vao.set_attribute(3, 3, float_count(streams.tangents), streams.tangents.data(), 0);
    floor_vao.set_indices(0, nullptr);
    floor_vao.draw(GL_QUADS);
}
