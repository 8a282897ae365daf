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
// Over the frame's multisampled scene target, even adding the layer can
// wait until the target is resolved: added then to the resolved picture, it
// blends one sample a pixel instead of four. The picture is the same: the
// layer holds one value a pixel, and the mean of four samples each raised by
// it is their mean raised by it (but where the samples of an edge pixel clamp
// apart). The frame loop names that target with defer_over while the scenes
// draw, adds what waits with add_waiting before the next scene draws (so
// that it lies over the sprites as before) and onto the resolved picture.
// Only a layer whose scene draws nothing into the target after it may wait:
// anything drawn later would end up under the sprites. So the scene says so
// at the end (Order::last_in_scene); otherwise the layer is added at once,
// under whatever the scene draws next.
//
// Usage: begin(), the sprites with additive blending and no depth test,
// end(order). Not for sprites that test depth against the scene.
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

    // What the scene draws into its target after the layer's sprites.
    enum class Order {
        in_order,       // more may follow: the layer is added at its end
        last_in_scene,  // nothing follows: over the deferred target it waits
    };

    // Binds the layer, as large as the current viewport, cleared to
    // transparent black, and returns true; false (nothing done) where the
    // layer does not pay.
    bool begin();
    // After a begin that returned true: binds again the target that begin
    // found, with its viewport, and adds the layer over the viewport, one
    // draw with blending (one, one) and no depth test; leaves the blend
    // function as begin found it, the depth test off, the texture program
    // and the layer's picture bound and unit 0 active. Otherwise nothing.
    // Where the sprites are the last thing the scene draws and the target
    // begin found is the one named by defer_over, end binds it back with
    // its viewport and changes nothing else: the layer waits for
    // add_waiting.
    void end(Order order = Order::in_order);

    // Layers begun over `target` (0: none) wait at their end from now on.
    static void defer_over(GLuint target);
    // Adds every waiting layer, in the order they ended, onto the bound
    // target (the deferred one or its resolved picture, of the same size),
    // each under the viewport and scissor box it ended with, as end adds
    // one; leaves the viewport and scissor box as they were.
    static void add_waiting();

private:
    // Adds the layer over the current viewport (see end).
    void add();

    std::unique_ptr<FBO> layer;
    bool in_use = false;
    bool deferred = false;  // begun over the target named by defer_over
    bool waiting = false;
    GLint waiting_over = 0;  // the target a waiting layer is to be added over
    GLint saved_blend[4] = {};
    GLfloat saved_clear[4] = {};
    // Where drawing goes: the viewport and the scissor box with its switch.
    struct DrawArea {
        GLint viewport[4] = {};
        GLint scissor[4] = {};
        GLboolean scissor_test = GL_FALSE;
        static DrawArea current();
        void apply() const;
    };
    DrawArea end_area;  // at the end, for a waiting layer
};

}  // namespace Effects
