#include "scenes/scene_fullscreen/nuke_scenes.h"

#include "util/music/music.h"
#include "util/shaderprogram/shaderprogram.h"
#include "util/utils.h"

NukeBalls::NukeBalls()
    : FullScreenShaderScene("data/scenes/nukeballs/simple.vert", "data/scenes/nukeballs/nukeballs.frag") {}

void NukeBalls::set_uniforms(ShaderProgram& bound) { bound.set_uniform1f("Time", music->get_beats()); }

NukeFallout::NukeFallout()
    : FullScreenShaderScene("data/scenes/nukefallout/simple.vert", "data/scenes/nukefallout/nukefallout.frag") {}

void NukeFallout::set_uniforms(ShaderProgram& bound) { bound.set_uniform1f("Time", music->get_beats()); }

const SceneTracks NukeSL::tracks = {
    {"NukeTriFgHue", 0.15f}, {"NukeTriFgVal", 0.5f}, {"NukeTriFgAlpha", 0.75f},
    {"NukeTriBgHue", 0.0f},  {"NukeTriBgVal", 0.0f}, {"NukeTriBgAlpha", 0.3f},
    {"NukeTriX", 0.0f},      {"NukeTriY", 0.0f},     {"NukeTriSize", 1.0f},
};

NukeSL::NukeSL() : FullScreenShaderScene("data/scenes/nukesl/simple.vert", "data/scenes/nukesl/nukesl.frag") {}

void NukeSL::init() {
    FullScreenShaderScene::init();
    register_scene_tracks(*music, tracks);
}

TrefoilUniforms NukeSL::uniforms_from_tracks(Music& m) {
    auto v = [&m](const char* name) { return m.get_sync_value(name); };
    auto colour = [](float hue, float lightness, float alpha) {
        return vec4(hsl_to_rgb(vec3(hue, 1.0f, lightness)), alpha);
    };
    TrefoilUniforms u;
    u.fg = colour(v("NukeTriFgHue"), v("NukeTriFgVal"), v("NukeTriFgAlpha"));
    u.bg = colour(v("NukeTriBgHue"), v("NukeTriBgVal"), v("NukeTriBgAlpha"));
    u.x = v("NukeTriX");
    u.y = v("NukeTriY");
    u.radius = v("NukeTriSize");
    return u;
}

void NukeSL::set_uniforms(ShaderProgram& bound) {
    const TrefoilUniforms u = uniforms_from_tracks(*music);
    bound.set_uniform_vec4("Fg", u.fg, 1);
    bound.set_uniform_vec4("Bg", u.bg, 1);
    bound.set_uniform2f("Pos", u.x, u.y);
    bound.set_uniform1f("Radius", u.radius);
}
