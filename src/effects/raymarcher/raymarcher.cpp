#include "effects/raymarcher/raymarcher.h"

#include "effects/attractor/fullscreen_quad.h"
#include "util/music/music.h"
#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

const RayTrack kRayTracks[14] = {
    {"RayRotationTime", 0.0f}, {"RayColor", 0.55f},       {"RayAoFactor", 1.0f},   {"RayCutouts", 0.5f},
    {"RaySlashes", 0.0f},      {"RayPlaneDistance", 1.5f}, {"RayRotationMix", 0.5f}, {"RayPosX", 0.0f},
    {"RayPosY", 0.0f},         {"RayPosZ", 0.0f},         {"RayViewRot", 0.0f},    {"RayViewRotX", 0.0f},
    {"RayViewRotY", 1.0f},     {"RayViewRotZ", 0.0f},
};

RayFrame raymarcher_frame(const std::function<float(const char*)>& track) {
    // Read one by one, in registration order: argument order is unspecified.
    RayFrame f;
    const float x = track("RayPosX"), y = track("RayPosY"), z = track("RayPosZ");
    f.view.translate(x, y, z);
    const float angle = track("RayViewRot");
    const float ax = track("RayViewRotX"), ay = track("RayViewRotY"), az = track("RayViewRotZ");
    f.rotation.rotate(angle, ax, ay, az);
    f.rotation_time = track("RayRotationTime");
    f.colour = track("RayColor");
    f.ao_factor = track("RayAoFactor");
    f.cutouts = track("RayCutouts");
    f.slashes = track("RaySlashes");
    f.plane_distance = track("RayPlaneDistance");
    f.rotation_mix = track("RayRotationMix");
    return f;
}

Raymarcher::Raymarcher(Music* music_, RayTracking tracking)
    : shader(std::make_unique<ShaderProgram>("data/effects/raymarcher/raymarcher.vert",
                                             "data/effects/raymarcher/raymarcher.frag")),
      music(music_) {
    for (const RayTrack& t : kRayTracks) music->add_sync_track(t.name, t.value, tracking == RayTracking::Tracked);
}

Raymarcher::~Raymarcher() = default;

void Raymarcher::draw(float time) {
    begin_fullscreen_effect(colour, time);
    const RayFrame f = raymarcher_frame([this](const char* name) { return music->get_sync_value(name); });
    shader->bind();
    shader->set_uniform1f("RotationTime", f.rotation_time);
    shader->set_uniform_matrix4fv("View", f.view.data(), 1, false);
    shader->set_uniform_matrix4fv("ViewRotation", f.rotation.data(), 1, false);
    shader->set_uniform1f("SkyboxMix", 0.0f);
    shader->set_uniform1f("Color", f.colour);
    shader->set_uniform1f("AoFactor", f.ao_factor);
    shader->set_uniform1f("Cutouts", f.cutouts);
    shader->set_uniform1f("Slashes", f.slashes);
    shader->set_uniform1f("PlaneDistance", f.plane_distance);
    shader->set_uniform1f("RotationMix", f.rotation_mix);
    draw_fullscreen_quad();
}

}  // namespace Effects
