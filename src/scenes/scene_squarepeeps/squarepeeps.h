// The cubes on a plane: a large cube wearing the sky photograph in the middle
// of a square ground, four small cubes in four materials around it, and one
// shadow-casting point light circling the group once every nine beats while
// the camera circles it once every 20 pi beats, both on the music clock.
// Depth of field, a marker at the light. No sync tracks of its own.
#pragma once

#include <memory>
#include <vector>

#include "scenes/scene.h"
#include "util/camera/camera.h"
#include "util/objects3d/objects3d.h"

class Texture;

class SquarePeeps : public Scene {
public:
    SquarePeeps();
    ~SquarePeeps() override;

    void init() override;
    void draw() override;
    void resize(int width, int height) override;
    // The graph draws with depth of field: everything goes into its own
    // target, and only the full-screen composite, without depth test or
    // blending, reaches the bound one.
    bool composes_whole_target() const override { return true; }
    // The graph draws its shadow faces whole and its depth-of-field target
    // where the composite reads it for the scissor box.
    bool draws_in_scissor_box() const override { return true; }

    static constexpr float kPlaneSize = 15.0f;
    // The small cubes stand at (+-offset, 0, +-offset).
    static constexpr float kCornerOffset = kPlaneSize / 3.0f;
    // The edge of the light's shadow faces in texels. The light circles 3
    // units from the group, so a texel spans about a hundredth of a unit
    // there, a pixel or two on screen; six faces as wide as the render
    // target (or 2048 when the map is made during drawing) cost six depth
    // passes of millions of texels a frame for edges no sharper.
    static constexpr int kShadowSize = 512;

    // Where the camera and the light are at a music position in beats.
    static vec3 camera_eye(float beats);
    static vec3 light_position(float beats);

    Objects3D* get_objects() const { return objects.get(); }
    const Camera& get_camera() const { return camera; }
    const Light& get_light() const { return light; }

private:
    void build(Objects3D* graph);

    std::unique_ptr<Objects3D> objects;
    Camera camera;
    Light light;
    std::unique_ptr<Texture> sky;
    std::vector<std::unique_ptr<Material>> materials;
    std::vector<std::unique_ptr<Mesh>> meshes;
};
