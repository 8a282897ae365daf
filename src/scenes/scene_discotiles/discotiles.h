// The disco floor: 80 x 80 square tiles drawn as one instanced node of the
// scene graph, each tile's brightness the alpha of its instance colour (see
// disco_floor.h). The "disc" tracks switch the wave, the drops (and their
// ring mode) and the spots; the camera follows the camera tracks. The
// nebula sky box is loaded with the scene but not drawn.
#pragma once

#include <memory>

#include "effects/skybox.h"
#include "scenes/scene.h"
#include "scenes/scene_discotiles/disco_floor.h"
#include "scenes/scene_tracks.h"
#include "util/camera/camera.h"
#include "util/objects3d/objects3d.h"

class DiscoTiles : public Scene {
public:
    DiscoTiles();
    ~DiscoTiles() override;

    void init() override;
    void draw() override;
    void resize(int width, int height) override;

    static const SceneTracks tracks;

    const DiscoFloor& get_floor() const { return floor; }
    Node* get_node() const { return node; }
    Material* get_material() const { return material.get(); }
    Camera& get_camera() { return camera; }

private:
    // Made by init, when the GL context and the data exist.
    std::unique_ptr<Objects3D> objects3d;
    std::unique_ptr<Effects::SkyBox> skybox;
    std::unique_ptr<Material> material;
    std::unique_ptr<Mesh> mesh;
    Node* node = nullptr;  // owned by the graph
    Camera camera;
    DiscoFloor floor;
};
