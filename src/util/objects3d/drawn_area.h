// Where in the picture a scene graph's passes can have drawn, free of GL:
// the boxes of what they draw, placed and projected, give a rectangle that
// holds every pixel they touched. The depth-of-field composite reads its
// target only around that rectangle; everywhere else it would copy the
// cleared target, so it clears there instead.
#pragma once

#include <vector>

#include "util/math/mat4.h"
#include "util/math/vector.h"
#include "util/math/viewport.h"

// A rectangle in normalised device coordinates that grows with every box
// added; `everywhere` once a box cannot be bounded on the screen.
struct DrawnArea {
    bool everywhere = false;
    bool empty = true;
    float min_x = 0.0f, min_y = 0.0f, max_x = 0.0f, max_y = 0.0f;

    // Grows by the box from `lo` to `hi` placed by `modelview` and seen
    // through `projection`. A box with a corner at or behind the eye's plane,
    // or projected to no finite place, makes the area everywhere (its
    // projection has no bound); otherwise the projections of the eight
    // corners hold that of the whole box.
    void add_box(const vec3& lo, const vec3& hi, const mat4& modelview, const mat4& projection);
};

// The box of `positions` (`stride` floats each, x y z first); false when
// there is none (no positions, or fewer than three floats each).
bool positions_box(const std::vector<float>& positions, int stride, vec3& lo, vec3& hi);

// The pixels of a `width` x `height` target that `area` covers when its
// device coordinates fill `viewport`, grown by `reach` pixels on every side
// and clipped to the target (rounded outward, so partly covered pixels count).
// An area with a side that is not finite covers no pixel.
ViewportRect drawn_pixels(const DrawnArea& area, const ViewportRect& viewport, int width, int height, int reach);

// `rect`, in the pixels of a `width` x `height` texture, in the pixels of
// `onto`, which the texture is drawn over whole (rounded outward).
ViewportRect texture_rect_onto(const ViewportRect& rect, int width, int height, const ViewportRect& onto);

// The intersection of two rectangles; empty (width or height 0) when they
// do not overlap.
ViewportRect intersect(const ViewportRect& a, const ViewportRect& b);

// The parts of `outer` outside `inner` as at most four rectangles (below,
// above, left, right); `inner` is first clipped to `outer`.
std::vector<ViewportRect> rects_outside(const ViewportRect& outer, const ViewportRect& inner);
