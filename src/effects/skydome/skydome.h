// The sky dome: an SGL dome model ("data/effects/skydome/sky.sgl", a
// hemisphere of radius 1 over y 0..1) drawn around the viewer, scaled by
// (scale_xz, scale_y, scale_xz), through "skydome.vert"/".frag" in the same
// folder: a gradient from the horizon colour up, clouds from "cloud.png" on
// unit 0 drifting with a cloud time that advances 0.005 per beat, and the
// storm picture "thunder0.jpg" on unit 1 mixed in by tex2_factor.
#pragma once

#include <memory>

#include "effects/effect.h"
#include "effects/skydome/model_sgl.h"
#include "util/math/vector.h"
#include "util/texture/texture.h"

class ShaderProgram;

namespace Effects {

class SkyDome : public Effect {
public:
    SkyDome();
    ~SkyDome() override;
    SkyDome(const SkyDome&) = delete;
    SkyDome& operator=(const SkyDome&) = delete;

    // Draws the dome with the current matrices and the depth test off (on
    // again afterwards); leaves the program bound and units 0 and 1 empty.
    void render(float time) override;

    // Shared by every sky dome: the clouds' drift.
    static float cloud_time;

    float scale_xz = 50.0f, scale_y = 20.0f;
    vec4 bbox;                 // the model's size, |max| + |min| per axis
    float daylight = 1.0f;     // 0 night .. 1 day
    float tex2_factor = 0.0f;  // how much of the storm picture shows
    float tex2_scale = 1.0f;   // its repeat across the dome
    float tex2_offset = 0.0f;  // its drift

private:
    std::unique_ptr<SglModel> model;
    Texture texture0, texture1;
    std::unique_ptr<ShaderProgram> shader;
    float last_time = -1.0f;
};

}  // namespace Effects
