// The ball-and-stick tree scene: the tree of ball_tree.h drawn through the
// scene graph as two instanced nodes (156 balls, 155 sticks) in one material,
// lit by one blue light whose path, like the tree, follows "ballsProgress",
// and composited with depth of field. The camera follows the camera tracks;
// its clip range scales with the tree's first-built size.
#pragma once

#include <memory>

#include "scenes/scene.h"
#include "scenes/scene_sjakkvektor/ball_tree.h"
#include "scenes/scene_tracks.h"
#include "util/camera/camera.h"
#include "util/objects3d/objects3d.h"

class SjakkVektor : public Scene {
public:
    SjakkVektor();
    ~SjakkVektor() override;

    void init() override;
    void draw() override;
    void resize(int width, int height) override;
    // The graph draws with depth of field and nothing else: only its
    // composite, without depth test or blending, reaches the bound target,
    // over every pixel.
    bool composes_whole_target() const override { return true; }

    static const SceneTracks tracks;

    // The light's position for a "ballsProgress" value and the tree's half size.
    static vec3 light_position(float progress, float half_size);

    Node* get_ball_node() const { return ball_node; }
    Node* get_stick_node() const { return stick_node; }
    float get_half_size() const { return half_size; }
    const Light& get_light() const { return light; }
    const Camera& get_camera() const { return camera; }

private:
    void build();

    std::unique_ptr<Objects3D> objects;  // made by init, with the GL context
    float half_size = 0.0f;
    float ball_radius = 0.2f;
    float stick_thinness = 15.0f;  // stick radius = ball radius / this
    std::unique_ptr<Material> material;
    std::unique_ptr<Mesh> ball_mesh;
    std::unique_ptr<Mesh> stick_mesh;
    Node* ball_node = nullptr;   // owned by the graph
    Node* stick_node = nullptr;  // owned by the graph
    Camera camera;
    Light light;
    BallTree tree;
};
