// Where a graph's passes can have drawn: boxes projected to a rectangle, the
// rectangle in pixels, and the parts of the picture outside it.
#include "util/objects3d/drawn_area.h"

#include <limits>

#include "support/test_support.h"

namespace {

bool same(const ViewportRect& a, const ViewportRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

std::string text(const ViewportRect& r) {
    return std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.width) + "x" +
           std::to_string(r.height);
}

TEST(DrawnArea, BoxesInFrontOfTheEyeGrowTheRectangleOthersMakeItEverywhere) {
    mat4 projection;
    projection.perspective(90.0f, 1.0f, 1.0f, 100.0f);
    mat4 at;
    at.translate(0.0f, 0.0f, -10.0f);
    DrawnArea area;
    EXPECT_TRUE(area.empty);
    // A box from -1 to 1 at 10 in front: its near face (z = -9) is the widest, 1/9.
    area.add_box(vec3(-1, -1, -1), vec3(1, 1, 1), at, projection);
    EXPECT_FALSE(area.empty);
    EXPECT_NEAR(area.min_x, -1.0f / 9.0f, 1e-5f);
    EXPECT_NEAR(area.max_y, 1.0f / 9.0f, 1e-5f);
    // A second one to the right widens it there only.
    mat4 right;
    right.translate(5.0f, 0.0f, -10.0f);
    area.add_box(vec3(0, 0, 0), vec3(1, 1, 0), right, projection);
    EXPECT_NEAR(area.max_x, 0.6f, 1e-5f);
    EXPECT_NEAR(area.min_x, -1.0f / 9.0f, 1e-5f);
    EXPECT_FALSE(area.everywhere);
    // One reaching behind the eye has no bound on the screen.
    mat4 around_eye;
    around_eye.translate(0.0f, 0.0f, -0.5f);
    area.add_box(vec3(-1, -1, -1), vec3(1, 1, 1), around_eye, projection);
    EXPECT_TRUE(area.everywhere);
}

TEST(DrawnArea, PositionsBox) {
    vec3 lo, hi;
    EXPECT_TRUE(positions_box({1, 2, 3, 9, -1, 0, -4, 5, 6}, 3, lo, hi));
    EXPECT_EQ(lo.x, -4.0f);
    EXPECT_EQ(lo.y, -1.0f);
    EXPECT_EQ(lo.z, 0.0f);
    EXPECT_EQ(hi.x, 9.0f);
    EXPECT_EQ(hi.y, 5.0f);
    EXPECT_EQ(hi.z, 6.0f);
    EXPECT_FALSE(positions_box({}, 3, lo, hi));
    EXPECT_FALSE(positions_box({1, 2}, 2, lo, hi));
}

TEST(DrawnArea, PixelsRoundOutwardGrowByTheReachAndStayInTheTarget) {
    DrawnArea area;
    area.empty = false;
    area.min_x = -0.5f;
    area.max_x = 0.25f;
    area.min_y = -0.15f;
    area.max_y = 0.15f;
    const ViewportRect whole{0, 0, 100, 50};
    struct Case {
        const char* what;
        ViewportRect viewport;
        int reach;
        ViewportRect expected;
    };
    const Case cases[] = {
        // x 25..62.5 -> 25..63, y 21.25..28.75 -> 21..29
        {"no reach", whole, 0, {25, 21, 38, 8}},
        {"reach", whole, 3, {22, 18, 44, 14}},
        {"clipped to the target", whole, 30, {0, 0, 93, 50}},
        // A viewport of its own in the target: a band 20 high from row 10.
        {"viewport", {0, 10, 100, 20}, 0, {25, 18, 38, 4}},
    };
    for (const Case& c : cases) {
        const ViewportRect got = drawn_pixels(area, c.viewport, 100, 50, c.reach);
        EXPECT_TRUE(same(got, c.expected)) << c.what << ": " << text(got);
    }
    DrawnArea nothing;
    EXPECT_EQ(drawn_pixels(nothing, whole, 100, 50, 5).width, 0);
    DrawnArea all;
    all.everywhere = true;
    EXPECT_TRUE(same(drawn_pixels(all, whole, 100, 50, 0), whole));
    // Entirely off the target.
    area.min_x = 1.5f;
    area.max_x = 2.0f;
    EXPECT_EQ(drawn_pixels(area, whole, 100, 50, 2).width, 0);
}

// The passes draw with matrices from track values, which can be NaN or
// infinite. A corner projected to no finite place has no bound: the area is
// everywhere (the whole composite, which is always right), however many
// boxes came before it. A rectangle with a side that is not finite gives no
// pixels (and no float-to-integer conversion of a NaN).
TEST(DrawnArea, PlacesThatAreNotFinite) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    mat4 projection;
    projection.perspective(90.0f, 1.0f, 1.0f, 100.0f);
    for (float bad : {nan, inf, -inf}) {
        SCOPED_TRACE(bad);
        mat4 at;
        at.translate(0.0f, 0.0f, -10.0f);
        DrawnArea area;
        area.add_box(vec3(-1, -1, -1), vec3(1, 1, 1), at, projection);
        ASSERT_FALSE(area.everywhere);
        // x reaches the projected corner only: w stays finite.
        mat4 bad_x = at;
        bad_x.set(12, bad);
        area.add_box(vec3(-1, -1, -1), vec3(1, 1, 1), bad_x, projection);
        EXPECT_TRUE(area.everywhere);
        DrawnArea first;
        first.add_box(vec3(-1, -1, -1), vec3(1, 1, 1), bad_x, projection);
        EXPECT_TRUE(first.everywhere);
    }

    const ViewportRect whole{0, 0, 100, 50};
    const struct {
        const char* what;
        float min_x, max_x, min_y, max_y;
    } cases[] = {
        {"left NaN", nan, 0.5f, -0.5f, 0.5f},      {"right NaN", -0.5f, nan, -0.5f, 0.5f},
        {"bottom NaN", -0.5f, 0.5f, nan, 0.5f},    {"top NaN", -0.5f, 0.5f, -0.5f, nan},
        {"everything NaN", nan, nan, nan, nan},    {"left infinite", -inf, 0.5f, -0.5f, 0.5f},
        {"top infinite", -0.5f, 0.5f, -0.5f, inf}, {"right at minus infinity", -0.5f, -inf, -0.5f, 0.5f},
    };
    for (const auto& c : cases) {
        DrawnArea area;
        area.empty = false;
        area.min_x = c.min_x;
        area.max_x = c.max_x;
        area.min_y = c.min_y;
        area.max_y = c.max_y;
        const ViewportRect got = drawn_pixels(area, whole, 100, 50, 3);
        EXPECT_EQ(got.width, 0) << c.what << ": " << text(got);
        EXPECT_EQ(got.height, 0) << c.what << ": " << text(got);
    }
}

TEST(DrawnArea, TextureRectOntoAnotherSizeRoundsOutward) {
    EXPECT_TRUE(same(texture_rect_onto({10, 10, 20, 5}, 100, 50, {0, 0, 100, 50}), {10, 10, 20, 5}));
    EXPECT_TRUE(same(texture_rect_onto({10, 10, 20, 5}, 100, 50, {7, 3, 50, 25}), {12, 8, 10, 3}));
    EXPECT_TRUE(same(texture_rect_onto({10, 10, 20, 5}, 100, 50, {0, 0, 200, 100}), {20, 20, 40, 10}));
}

TEST(DrawnArea, OutsideTheInnerRectangleAtMostFourPartsCoverTheRest) {
    const ViewportRect outer{10, 20, 100, 50};
    struct Case {
        const char* what;
        ViewportRect inner;
        size_t parts;
    };
    const Case cases[] = {
        {"inside", {30, 30, 20, 10}, 4},
        {"along the bottom left", {10, 20, 20, 10}, 2},
        {"sticking out on the right", {90, 30, 100, 10}, 3},
        {"covering", {0, 0, 500, 500}, 0},
        {"apart", {200, 200, 5, 5}, 1},
        {"empty", {30, 30, 0, 10}, 1},
    };
    for (const Case& c : cases) {
        const std::vector<ViewportRect> parts = rects_outside(outer, c.inner);
        EXPECT_EQ(parts.size(), c.parts) << c.what;
        // Every pixel of outer is in exactly one of the parts or the inner one.
        const ViewportRect inner = intersect(outer, c.inner);
        for (int y = outer.y; y < outer.y + outer.height; ++y)
            for (int x = outer.x; x < outer.x + outer.width; ++x) {
                auto in = [&](const ViewportRect& r) {
                    return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
                };
                int count = in(inner) ? 1 : 0;
                for (const ViewportRect& p : parts) count += in(p) ? 1 : 0;
                ASSERT_EQ(count, 1) << c.what << " at " << x << "," << y;
            }
    }
    EXPECT_TRUE(rects_outside({0, 0, 0, 5}, {0, 0, 1, 1}).empty());
}

}  // namespace
