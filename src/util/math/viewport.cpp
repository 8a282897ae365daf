#include "util/math/viewport.h"

#include <algorithm>

ViewportRect letterbox(int window_width, int window_height, float aspect) {
    if (window_height == 0) window_height = 1;
    ViewportRect box;
    box.width = window_width;
    box.height = window_height;
    if (aspect > 0.0f) {
        if (aspect < static_cast<float>(window_width) / static_cast<float>(window_height)) {
            // Wider than the production: bars left and right.
            box.width = static_cast<int>(static_cast<float>(window_height) * aspect);
        } else {
            // Bars at the top and bottom (none when the aspect matches).
            box.height = static_cast<int>(static_cast<float>(window_width) / aspect);
        }
    }
    // A window reduced to nothing still gets render targets of a pixel.
    box.width = std::max(box.width, 1);
    box.height = std::max(box.height, 1);
    box.x = (window_width - box.width) / 2;
    box.y = (window_height - box.height) / 2;
    return box;
}
