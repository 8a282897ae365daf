// TobelRoto, the one scene of the internal debugging production: a picture
// composed at a fixed 320 x 180 pixels in its own render target, with
// nearest-neighbour filtering, then stretched over the whole scene. A tiled
// background with a transparent figure gliding over it on a Lissajous path
// that the music clock drives. It registers no sync tracks.
#pragma once

#include <memory>

#include "scenes/scene.h"
#include "util/math/mat4.h"
#include "util/texture/texture.h"

class FBO;
class ShaderConstructor;
class ShaderProgram;

class TobelRoto : public Scene {
public:
    static constexpr int kCanvasWidth = 320;
    static constexpr int kCanvasHeight = 180;

    TobelRoto();
    ~TobelRoto() override;

    void init() override;
    void draw() override;
    void resize(int width, int height) override;

    // Where the figure's lower left corner lies on the canvas at `beats`.
    static void figure_position(float beats, float* x, float* y);

private:
    std::unique_ptr<FBO> canvas;  // made by init, kept for the whole run
    Texture figure;
    Texture background;

    // Made on the first draw and kept: the textured 2D program, the canvas
    // projection (set anew every draw) and the unit-square projection.
    std::unique_ptr<ShaderProgram> program;
    mat4 canvas_projection;
    mat4 unit_projection;
};
