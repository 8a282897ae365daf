#include "support/test_support.h"

#include <cmath>
#include <limits>

#include "scenes/scene_jqboxes/box_grid.h"

namespace {

// The grid of the scene's default tracks.
BoxGrid default_grid() {
    BoxGrid grid;
    grid.colour1 = vec4(0.2f, 0.2f, 0.5f, 0.5f);
    grid.colour2 = vec4(0.8f, 0.5f, 0.5f, 0.5f);
    grid.size1 = vec3(1.0f, 1.0f, 10.0f);
    grid.size2 = vec3(5.0f, 5.0f, 50.0f);
    grid.width_space = 5.0f;
    grid.height_space = 5.0f;
    grid.columns = box_grid_count(2.0f);
    grid.rows = box_grid_count(2.0f);
    return grid;
}

struct BoxShape {
    vec3 centre, extent;
};

// Centre and extents of box `box` (24 vertices from box * 24 on).
BoxShape box_shape(const VertexStreams& s, size_t box) {
    vec3 lo(1e30f, 1e30f, 1e30f), hi(-1e30f, -1e30f, -1e30f);
    for (size_t v = box * 24; v < box * 24 + 24; ++v) {
        vec3 p = s.position(v);
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::fmin(lo[k], p[k]);
            hi[k] = std::fmax(hi[k], p[k]);
        }
    }
    return {(lo + hi) * 0.5f, hi - lo};
}

void expect_vec3(const vec3& actual, const vec3& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

TEST(BoxGrid, DefaultGridIsFourBoxesBlendingFromCornerToCorner) {
    VertexStreams s;
    build_box_grid(default_grid(), s);
    ASSERT_EQ(s.vertex_count(), 4u * 24u);
    ASSERT_EQ(s.colours.size(), 4u * 24u * 4u);

    // Row by row: (0, 0), (1, 0), (0, 1), (1, 1).
    struct Expected {
        vec3 centre, size;
        vec4 colour;
    };
    const Expected expected[4] = {
        {{0, 0, 0}, {1, 1, 10}, {0.2f, 0.2f, 0.5f, 0.5f}},
        {{8, 0, 0}, {3, 3, 30}, {0.5f, 0.35f, 0.5f, 0.5f}},
        {{0, 8, 0}, {3, 3, 30}, {0.5f, 0.35f, 0.5f, 0.5f}},
        {{10, 10, 0}, {5, 5, 50}, {0.8f, 0.5f, 0.5f, 0.5f}},
    };
    for (size_t box = 0; box < 4; ++box) {
        SCOPED_TRACE(box);
        BoxShape shape = box_shape(s, box);
        expect_vec3(shape.centre, expected[box].centre);
        expect_vec3(shape.extent, expected[box].size);
        for (size_t v = box * 24; v < box * 24 + 24; ++v)
            for (int k = 0; k < 4; ++k) EXPECT_NEAR(s.colour(v)[k], expected[box].colour[k], 1e-6f);
    }
}

TEST(BoxGrid, QuadsFollowTheFaceOrder) {
    VertexStreams s;
    add_box(vec3(2, 4, 6), vec4(1, 1, 1, 1), mat4(), s);
    // Each quad lies in one face plane: bottom, front, back, right, left, top.
    struct Face {
        int axis;
        float value;
    };
    const Face faces[6] = {{1, -2}, {2, 3}, {2, -3}, {0, 1}, {0, -1}, {1, 2}};
    for (int q = 0; q < 6; ++q)
        for (int k = 0; k < 4; ++k) EXPECT_EQ(s.position(q * 4 + k)[faces[q].axis], faces[q].value);
    // The first quad's corners in order.
    expect_vec3(s.position(0), vec3(-1, -2, -3));
    expect_vec3(s.position(1), vec3(1, -2, -3));
    expect_vec3(s.position(2), vec3(1, -2, 3));
    expect_vec3(s.position(3), vec3(-1, -2, 3));
}

TEST(BoxGrid, CountsAreCeilingsWithinBounds) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float track;
        int count;
    } cases[] = {
        {2.0f, 2}, {1.2f, 2}, {0.01f, 1}, {1.0f, 1}, {0.0f, 0}, {-3.0f, 0},
        {std::nanf(""), 0}, {255.5f, 256}, {256.0f, 256}, {1e9f, 256}, {inf, 256}, {-inf, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(box_grid_count(c.track), c.count) << c.track;
}

TEST(BoxGrid, GridSizesAndVertexCounts) {
    const struct {
        int columns, rows;
        size_t vertices;
    } cases[] = {{3, 4, 288}, {0, 5, 0}, {5, 0, 0}, {1, 1, 24}};
    for (const auto& c : cases) {
        BoxGrid grid = default_grid();
        grid.columns = c.columns;
        grid.rows = c.rows;
        VertexStreams s;
        build_box_grid(grid, s);
        EXPECT_EQ(s.vertex_count(), c.vertices);
        EXPECT_EQ(s.positions.size(), c.vertices * 3);
        EXPECT_EQ(s.colours.size(), c.vertices * 4);
    }
}

TEST(BoxGrid, SingleBoxTakesTheFirstCorner) {
    EXPECT_EQ(box_grid_blend(0, 0, 1, 1), 0.0f);
    BoxGrid grid = default_grid();
    grid.columns = grid.rows = 1;
    VertexStreams s;
    build_box_grid(grid, s);
    for (float f : s.positions) ASSERT_TRUE(std::isfinite(f));
    for (float f : s.colours) ASSERT_TRUE(std::isfinite(f));
    expect_vec3(box_shape(s, 0).extent, vec3(1, 1, 10));
    EXPECT_NEAR(s.colour(0).r, 0.2f, 1e-6f);
}

TEST(BoxGrid, BlendRunsAlongTheDiagonal) {
    EXPECT_EQ(box_grid_blend(0, 0, 3, 4), 0.0f);
    EXPECT_EQ(box_grid_blend(2, 3, 3, 4), 1.0f);
    EXPECT_FLOAT_EQ(box_grid_blend(1, 2, 3, 4), 0.6f);
    // One row: the blend runs along the columns alone.
    EXPECT_FLOAT_EQ(box_grid_blend(1, 0, 3, 1), 0.5f);
}

}  // namespace
