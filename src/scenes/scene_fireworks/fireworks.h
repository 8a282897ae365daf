// The fireworks scene: five rockets that fly up trailing sparks and burst
// into 400 rockets with trails of their own (fireworks_rockets.h), every live
// spark drawn as a camera-facing textured square added onto the picture
// (a point sprite: effects/particles.h).
// "frwxTime" is the simulation's clock; "frwxSeed" seeds the generator every
// frame, and a change of it relaunches every rocket. The camera stands still;
// the camera tracks do not move it. While the key 1 is down the simulation
// stops; while the key 2 is down nothing is drawn.
#pragma once

#include <GL/glew.h>

#include <cstdlib>
#include <memory>

#include "effects/sprite_layer.h"
#include "scenes/scene.h"
#include "scenes/scene_fireworks/fireworks_rockets.h"
#include "scenes/scene_tracks.h"
#include "util/camera/camera.h"
#include "util/texture/texture.h"

class ShaderConstructor;
class ShaderProgram;

class Fireworks : public Scene {
public:
    Fireworks();
    ~Fireworks() override;

    void init() override;
    void draw() override;
    // Frees the vertex block; everything else lives as long as the scene.
    void deinit() override;
    void resize(int width, int height) override { Scene::resize(width, height); }

    static const SceneTracks tracks;

    const FireworksShow& get_show() const { return *show; }
    size_t get_quads_drawn() const { return quads_drawn; }

private:
    void update_rockets(float time, bool frozen);
    void render();
    // Samples the sprite from the one mipmap level about as large as the
    // nearest sparks are drawn at `pixels_per_unit`.
    void pick_sprite_level(float pixels_per_unit);

    std::unique_ptr<FireworksShow> show;
    Texture texture;
    int sprite_level = -1;  // the level sampled; -1 until the first frame
    // The sparks are blended there, a quarter of the work of the scene's
    // multisampled target, and added over the scene at once.
    Effects::SpriteLayer sprite_layer;
    std::unique_ptr<ShaderProgram> program;
    GLuint vbo = 0;
    struct FreeBlock {
        void operator()(float* block) const { std::free(block); }
    };
    std::unique_ptr<float, FreeBlock> buffer_vertex;  // one billboard a made particle
    std::unique_ptr<BillboardWriter> writer;
    Camera camera;
    size_t quads_drawn = 0;
};
