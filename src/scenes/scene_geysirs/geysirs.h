// The geysirs scene: one still cloud of 10000 light-blue additive particles
// scattered along a random sphere polyline of radius 5, seen through the
// camera that the camera tracks drive. It registers no tracks of its own:
// everything that moves on screen is the camera.
#pragma once

#include <memory>
#include <vector>

#include "effects/particles.h"
#include "scenes/scene.h"
#include "util/camera/camera.h"

class Geysirs : public Scene {
public:
    void init() override;
    void draw() override;
    void resize(int width, int height) override { Scene::resize(width, height); }

    Effects::Particles& get_particles() { return *particle_systems.back(); }
    const Camera& get_camera() const { return camera; }

private:
    std::vector<std::unique_ptr<Effects::Particles>> particle_systems;
    Camera camera;
};
