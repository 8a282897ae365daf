// The letter-box rule that places the frame loop's render area and the
// loading screen's picture in the window.
#include "util/math/viewport.h"

#include <gtest/gtest.h>

namespace {

TEST(Letterbox, LargestRectangleOfTheAspectCentredInTheWindow) {
    struct Case {
        int window_width, window_height;
        float aspect;
        ViewportRect expected;
    } cases[] = {
        {1920, 1080, 16.0f / 9.0f, {0, 0, 1920, 1080}},    // same aspect: no bars
        {1920, 1200, 16.0f / 9.0f, {0, 60, 1920, 1080}},   // bars top and bottom
        {2560, 1080, 16.0f / 9.0f, {320, 0, 1920, 1080}},  // bars left and right
        {1024, 768, 16.0f / 9.0f, {0, 96, 1024, 576}},
        {1920, 1080, 4.0f / 3.0f, {240, 0, 1440, 1080}},
        {1280, 1024, 4.0f / 3.0f, {0, 32, 1280, 960}},
        {1000, 1000, 16.0f / 10.0f, {0, 187, 1000, 625}},  // odd remainder: offset truncated
        {400, 301, 16.0f / 9.0f, {0, 38, 400, 225}},
        {333, 100, 16.0f / 9.0f, {78, 0, 177, 100}},       // truncated, not rounded
        {1366, 768, 16.0f / 9.0f, {0, 0, 1365, 768}},
        {801, 600, 4.0f / 3.0f, {0, 0, 800, 600}},
        {640, 1, 16.0f / 9.0f, {319, 0, 1, 1}},
        {640, 0, 16.0f / 9.0f, {319, 0, 1, 1}},            // height 0 counts as 1
        {0, 0, 16.0f / 9.0f, {0, 0, 1, 1}},                // a window of nothing: still a pixel
        {1, 1000, 16.0f / 9.0f, {0, 499, 1, 1}},
        {640, 480, 0.0f, {0, 0, 640, 480}},                // no aspect: the whole window
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.window_width << "x" << c.window_height << " at " << c.aspect);
        const ViewportRect r = letterbox(c.window_width, c.window_height, c.aspect);
        EXPECT_EQ(r.x, c.expected.x);
        EXPECT_EQ(r.y, c.expected.y);
        EXPECT_EQ(r.width, c.expected.width);
        EXPECT_EQ(r.height, c.expected.height);
    }
}

}  // namespace
