// The 80 x 50 character screen drawn with OpenGL: the cells of AsciiScreen
// rendered with the compiled-in code page 437 font sheet into one shared
// 640 x 600 target (8 x 12 pixels a cell), which is then shown in a
// letter-boxed viewport of whatever frame buffer is bound.
//
// Needs a current GL context from construction on. The ASCII scenes own one
// engine each; the ASCII loading screen has one of its own; all render into
// the same target, made by the first engine and kept for the whole run.
#pragma once

#include <array>
#include <memory>

#include "util/ascii/ascii_screen.h"
#include "util/math/viewport.h"
#include "util/texture/texture.h"

class EasyDrawObject;
class FBO;
class ShaderProgram;

// The render target every engine shares: made with the first engine and kept
// for the context (util/context_cache.h).
FBO& ascii_target();

class AsciiEngine : public AsciiScreen {
public:
    static constexpr int kCellWidth = 8;
    static constexpr int kCellHeight = 12;
    static constexpr int kTargetWidth = kCols * kCellWidth;    // 640
    static constexpr int kTargetHeight = kRows * kCellHeight;  // 600

    AsciiEngine();
    ~AsciiEngine();
    AsciiEngine(const AsciiEngine&) = delete;
    AsciiEngine& operator=(const AsciiEngine&) = delete;

    // Draws every cell into the shared target, then shows it (present).
    void render();
    // Only the first half of render: the cells into the shared target.
    void render_to_target();
    // The shared target over the letter-box viewport of the bound frame
    // buffer, added onto what it holds (the blending render leaves on).
    void present();
    // The largest viewport of ratio `aspect` centred in width x height.
    void letterbox(int width, int height, float aspect);

    const ViewportRect& viewport() const { return viewport_; }

private:
    Texture font_;
    FBO* fbo_;
    std::unique_ptr<ShaderProgram> program_;
    std::unique_ptr<EasyDrawObject> quads_;  // one instance a cell
    std::array<float, kCells * 4> cells_;    // column, row from the bottom, character, colours
    ViewportRect viewport_{1, 1, 1, 1};
};
