// The smiley floor: the 8 x 8 cubes of floor_geometry.h, every face showing
// "data/scenes/nukefloor/smiley.jpg", seen through the camera tracks with
// depth test and back faces culled. The built-in textured program shows
// only the picture; colours, normals and tangents go along unused.
#pragma once

#include <memory>
#include <vector>

#include "scenes/scene.h"
#include "scenes/scene_nukefloor/floor_geometry.h"
#include "util/camera/camera.h"
#include "util/easydraw/easydrawcustom.h"

class ShaderConstructor;
class ShaderProgram;
class Texture;

class NukeFloor : public Scene {
public:
    NukeFloor();
    ~NukeFloor() override;

    void init() override;
    void draw() override;

    // The vertex arrays of the latest draw.
    const TexturedStreams& get_streams() const { return streams; }

private:
    // Builds, uploads and draws the floor.
    void build_floor_and_draw();

    Camera camera;
    EasyDrawObject floor_vao;
    std::unique_ptr<ShaderProgram> program;
    TexturedStreams streams;
    std::vector<std::unique_ptr<Texture>> textures;
};
