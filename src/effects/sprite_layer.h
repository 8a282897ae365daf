// A layer of its own for sprites added onto the picture. Additive sprites
// drawn straight into the multisampled scene target are blended into every
// sample they cover, four times the work of one single-sample pixel, and a
// cloud of tens of thousands of them overlaps many times over. Drawn into a
// single-sample layer instead and then added over the scene in one
// full-screen draw, they cost a quarter of the blending, plus that one draw.
//
// The picture stays the same: the layer starts transparent black, and with
// additive blending (source alpha, one) the sprites' sum added once is
// their sum added one by one (the sums clamp alike). Only where a sprite's
// edge crosses a pixel does the layer take the pixel's centre for all its
// samples; the sprites' pictures fade out before their edges.
//
// The layer pays only over a multisampled target, and only where sprites
// are a few pixels wide: narrower than a pixel, a sprite in the layer lights
// a whole pixel or none where the target's samples would have weighed its
// coverage. Over a single-sample target, or one under kMinLayerRows rows
// (the small recordings, cheap anyway), begin and end change nothing and
// the sprites go straight into the target.
//
// Usage: begin(), the sprites with additive blending and no depth test,
// end(). Not for sprites that test depth against the scene.
#pragma once

#include <GL/glew.h>

#include <memory>

class FBO;

namespace Effects {

class SpriteLayer {
public:
    SpriteLayer();
    ~SpriteLayer();
    SpriteLayer(const SpriteLayer&) = delete;
    SpriteLayer& operator=(const SpriteLayer&) = delete;

    static constexpr int kMinLayerRows = 600;

    // Binds the layer, as large as the current viewport, cleared to
    // transparent black, and returns true; false (nothing done) where the
    // layer does not pay.
    bool begin();
    // After a begin that returned true: binds again the target that begin
    // found, with its viewport, and adds the layer over the viewport, one
    // draw with blending (one, one) and no depth test; leaves the blend
    // function as begin found it, the depth test off, the texture program
    // and the layer's picture bound and unit 0 active. Otherwise nothing.
    void end();

private:
    std::unique_ptr<FBO> layer;
    bool in_use = false;
    GLint saved_blend[4] = {};
    GLfloat saved_clear[4] = {};
};

}  // namespace Effects
