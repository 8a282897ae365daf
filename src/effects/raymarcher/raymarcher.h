// A full-screen shader effect: one blended quad over the bound target drawn
// through "data/effects/raymarcher/raymarcher.vert" and ".frag", a ray-
// marched field of turning boxes with cut-outs and slashes over a floor,
// steered every frame by fourteen sync tracks ("RayRotationTime", "RayColor",
// "RayAoFactor", "RayCutouts", "RaySlashes", "RayPlaneDistance",
// "RayRotationMix", "RayPosX/Y/Z", "RayViewRot", "RayViewRotX/Y/Z") that
// the constructor registers.
#pragma once

#include <functional>
#include <memory>

#include "effects/effect.h"
#include "util/math/mat4.h"
#include "util/math/vector.h"

class Music;
class ShaderProgram;

namespace Effects {

// The fourteen tracks with their defaults, in registration order.
struct RayTrack {
    const char* name;
    float value;
};
extern const RayTrack kRayTracks[14];

// What one frame sends, from the track values.
struct RayFrame {
    mat4 view;      // identity translated by (RayPosX, RayPosY, RayPosZ)
    mat4 rotation;  // identity turned RayViewRot degrees about (RayViewRotX, Y, Z)
    float rotation_time, colour, ao_factor, cutouts, slashes, plane_distance, rotation_mix;
};
RayFrame raymarcher_frame(const std::function<float(const char*)>& track);

// Tracked: each track follows its track file (or the editor); Constant:
// each keeps its default (for a caller without track files).
enum class RayTracking { Tracked, Constant };

class Raymarcher : public Effect {
public:
    // The music object is borrowed; its tracks are registered here.
    Raymarcher(Music* music, RayTracking tracking);
    ~Raymarcher() override;

    void render(float time) override { draw(time); }
    void draw(float time);

    vec4 colour = vec4(1.0f, 1.0f, 1.0f, 1.0f);

private:
    std::unique_ptr<ShaderProgram> shader;
    Music* music;
};

}  // namespace Effects
