// The droplets scene: a large horizontal plane on which one shader pair
// paints fading spots (one a beat) and expanding ripple rings (droplets, one
// every second beat) at places drawn once at init. The track "dropTime" is
// the scene's beat clock; the camera follows the camera tracks. The marks'
// bookkeeping is droplet_marks.h; their look is the shader's.
#pragma once

#include <memory>
#include <vector>

#include "scenes/scene.h"
#include "scenes/scene_tracks.h"
#include "util/camera/camera.h"
#include "util/math/vector.h"
#include "util/shaderprogram/shaderprogram.h"

class Droplets : public Scene {
public:
    void init() override;
    void draw() override;
    void resize(int width, int height) override { Scene::resize(width, height); }

    static const SceneTracks tracks;

    const ShaderProgram* get_program() const { return program.get(); }
    const std::vector<float3>& get_droplet_events() const { return droplet_events; }
    const std::vector<vec3>& get_spot_events() const { return spot_events; }

private:
    void make_droplet_events();
    void make_spot_events();
    // Set the visible marks' uniforms; ring_mode picks the shader's ripple
    // look ("dropCircle" above 1.5) over the single ring.
    void upload_droplets(bool ring_mode);
    void upload_spots();

    Camera camera;
    std::unique_ptr<ShaderProgram> program;
    float plane_size = 150.0f;
    std::vector<float3> droplet_events;  // start, x, y
    std::vector<vec3> spot_events;       // start, x, y; w the fade of the last draw
};
