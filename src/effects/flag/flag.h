// The waving flag: a textured grid kept in a display list, drawn through a
// program that lifts each vertex by sine waves of its x and z and an angle
// that grows with time. The flag sets up its own perspective camera for the
// draw and puts the caller's matrices back afterwards.
#pragma once

#include <GL/glew.h>

#include <memory>

#include "effects/effect.h"
#include "util/texture/texture.h"

class ShaderConstructor;
class ShaderProgram;

namespace Effects {

// 2 x time wrapped into 0..360 the way repeated steps of 360 would wrap it
// (a positive angle lands in (0, 360], a negative one in [0, 360), or on
// 360 when a tiny remainder rounds up); 0 for a time that is not a finite
// number.
float flag_angle(float time);

// The flag grid: x 0..8.7, z -6..0 in the mesh's plane y = 0, which the
// draw turns upright and centres in front of the camera.
constexpr float kFlagWidth = 8.7f;
constexpr float kFlagHeight = 6.0f;

class Flag : public Effect {
public:
    // Loads "data/effects/flag/flag.png", builds "EffectsFlagWave" and
    // "EffectsFlagTexRender" and the mesh's display list.
    Flag();
    ~Flag() override;
    Flag(const Flag&) = delete;
    Flag& operator=(const Flag&) = delete;

    void render(float time) override { draw(time); }
    // Draws the flag with its camera, in the current colour. Leaves the
    // program bound, the texture bound on unit 0 and modelview the current
    // matrix mode.
    void draw(float time);

    // Off: the flag hangs still, drawn through "EffectsFlagTexRender".
    bool waving = true;

private:
    Texture texture;
    std::unique_ptr<ShaderProgram> shader;
    std::unique_ptr<ShaderProgram> still_shader;
    GLuint display_list = 0;
};

}  // namespace Effects
