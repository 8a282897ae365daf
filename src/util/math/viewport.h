// A rectangle of a window or target in pixels (glViewport's x, y, width,
// height), and the letter-box rule: the largest rectangle of a production's
// aspect ratio inside a window, centred, the rest black bars. The frame
// loop and the loading screen both place their pictures by it.
#pragma once

struct ViewportRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The largest rectangle of `aspect` (width / height) inside the window,
// centred (offsets truncated toward zero): one side is the window's, the
// other computed in float and truncated. Never smaller than 1 x 1; a window
// height of 0 counts as 1; an aspect that is not positive fills the window.
ViewportRect letterbox(int window_width, int window_height, float aspect);
