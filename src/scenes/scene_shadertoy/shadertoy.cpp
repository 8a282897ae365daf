#include "scenes/scene_shadertoy/shadertoy.h"

#include <GL/glew.h>

#include <algorithm>

#include "scenes/scene_fullscreen/fullscreen_scene.h"
#include "util/easydraw/easydraw.h"
#include "util/math/saturate.h"
#include "util/music/music.h"
#include "util/shaderprogram/shaderprogram.h"

const std::vector<const char*> ShaderToy::fragment_files = {
    "data/scenes/shadertoy/dancing_metaballs.frag",
    "data/scenes/shadertoy/nucleus_rave.frag",
    "data/scenes/shadertoy/fires.frag",
    "data/scenes/shadertoy/almost_good_explosion.frag",
    "data/scenes/shadertoy/sdf_2d.frag",
    "data/scenes/shadertoy/watch_it_burn.frag",
    "data/scenes/shadertoy/particle_fireworks.frag",
};

const SceneTracks ShaderToy::tracks = {{"ShaderToyNr", 0.0f}};

ShaderToy::ShaderToy() = default;
ShaderToy::~ShaderToy() = default;

int ShaderToy::program_index(float value, size_t count) {
    if (count == 0) return -1;
    const int32_t n = saturate_int(value);  // NaN gives 0
    return std::clamp(n, 0, static_cast<int>(count) - 1);
}

void ShaderToy::init() {
    for (const char* fragment : fragment_files)
        programs.push_back(std::make_unique<ShaderProgram>("data/scenes/shadertoy/simple.vert", fragment));
    noise_texture.load("data/scenes/shadertoy/noise.png", true, true, GL_LINEAR, GL_LINEAR);
    selected_program = 0;
    register_scene_tracks(*music, tracks);
}

void ShaderToy::resize(int width, int height) { Scene::resize(width, height); }

void ShaderToy::draw() {
    selected_program =
        static_cast<uint32_t>(program_index(music->get_sync_value("ShaderToyNr"), programs.size()));
    ShaderProgram& program = *programs[selected_program];

    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    // Sampled by the programs' sampler, which nothing sets: unit 0.
    noise_texture.bind_and_enable();
    bind_fullscreen_program(program);
    program.set_uniform1f("iTime", music->get_beats());
    program.set_uniform3f("iMouse", 50.0f, 50.0f, 0.0f);
    program.set_uniform2f("iResolution", static_cast<float>(width), static_cast<float>(height));
    easydraw_fullscreen_quad();
}
