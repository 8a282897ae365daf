#include "support/test_support.h"

#include <algorithm>
#include <cmath>

#include "scenes/scene_nukefloor/floor_geometry.h"

namespace {

vec3 at3(const std::vector<float>& v, size_t vertex) {
    return vec3(v[vertex * 3], v[vertex * 3 + 1], v[vertex * 3 + 2]);
}

float dot(const vec3& a, const vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

TEST(FloorGeometry, SixtyFourCubesOfSixQuadsWithEveryStreamPerVertex) {
    TexturedStreams s;
    build_floor(s);
    ASSERT_EQ(s.vertex_count(), 1536u);
    EXPECT_EQ(kFloorVertexCount, 1536);
    EXPECT_EQ(s.colours.size(), 1536u * 4);
    EXPECT_EQ(s.normals.size(), 1536u * 3);
    EXPECT_EQ(s.tangents.size(), 1536u * 3);
    EXPECT_EQ(s.texcoords.size(), 1536u * 2);
    // The arrays are emptied before each build, so a second frame holds the
    // same count, not twice it.
    s.clear();
    build_floor(s);
    EXPECT_EQ(s.vertex_count(), 1536u);
    EXPECT_EQ(s.normals.size(), 1536u * 3);
}

TEST(FloorGeometry, CubeColoursBlendFromYellowToCyanAcrossTheFloor) {
    TexturedStreams s;
    build_floor(s);
    const struct {
        int column, row;
        vec4 colour;
    } cases[] = {
        {0, 0, vec4(1, 1, 0, 1)},
        {7, 0, vec4(0.5f, 1, 0.5f, 1)},
        {0, 7, vec4(0.5f, 1, 0.5f, 1)},
        {7, 7, vec4(0, 1, 1, 1)},
        {3, 4, vec4(0.5f, 1, 0.5f, 1)},
        {1, 0, vec4(13.0f / 14, 1, 1.0f / 14, 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.column << "," << c.row);
        const size_t first = static_cast<size_t>(c.row * kFloorColumns + c.column) * 24;
        for (size_t k = first; k < first + 24; ++k) {
            const vec4 got = s.colour(k);
            EXPECT_NEAR(got.r, c.colour.r, 1e-6f);
            EXPECT_NEAR(got.g, c.colour.g, 1e-6f);
            EXPECT_NEAR(got.b, c.colour.b, 1e-6f);
            EXPECT_NEAR(got.a, c.colour.a, 1e-6f);
        }
    }
}

TEST(FloorGeometry, TouchingCubesSpanMinusTwoToThirtyAcrossAndTwoUpAndDown) {
    TexturedStreams s;
    build_floor(s);
    vec3 lo(1e9f, 1e9f, 1e9f), hi(-1e9f, -1e9f, -1e9f);
    for (size_t k = 0; k < s.vertex_count(); ++k) {
        const vec3 p = s.position(k);
        lo.set(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z));
        hi.set(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z));
    }
    EXPECT_FLOAT_EQ(lo.x, -2);
    EXPECT_FLOAT_EQ(hi.x, 30);
    EXPECT_FLOAT_EQ(lo.z, -2);
    EXPECT_FLOAT_EQ(hi.z, 30);
    EXPECT_FLOAT_EQ(lo.y, -2);
    EXPECT_FLOAT_EQ(hi.y, 2);
    // Cube (column 2, row 5) is centred on x = 8, z = 20.
    vec3 sum;
    const size_t first = static_cast<size_t>(5 * kFloorColumns + 2) * 24;
    for (size_t k = first; k < first + 24; ++k) sum += s.position(k);
    EXPECT_FLOAT_EQ(sum.x / 24, 8);
    EXPECT_FLOAT_EQ(sum.y / 24, 0);
    EXPECT_FLOAT_EQ(sum.z / 24, 20);
}

TEST(FloorGeometry, FacesWindCounterClockwiseFromOutsideWithTangentsAlongU) {
    TexturedStreams s;
    mat4 moved;
    moved.translate(3, -1, 5);
    add_textured_box(vec3(2, 4, 6), vec4(1, 0, 0, 1), moved, s);
    ASSERT_EQ(s.vertex_count(), 24u);
    const vec3 centre(3, -1, 5);
    for (size_t face = 0; face < 6; ++face) {
        SCOPED_TRACE(face);
        const size_t v = face * 4;
        const vec3 p0 = s.position(v), p1 = s.position(v + 1), p2 = s.position(v + 2);
        const vec3 n = at3(s.normals, v);
        // The winding's normal points along the face normal, away from the
        // cube's centre.
        EXPECT_GT(dot(cross(p1 - p0, p2 - p0), n), 0.0f);
        EXPECT_GT(dot(p0 - centre, n), 0.0f);
        for (size_t k = v; k < v + 4; ++k) {
            EXPECT_EQ(at3(s.normals, k).x, n.x);
            EXPECT_EQ(at3(s.normals, k).z, n.z);
        }
        // Along the tangent, u grows: between any two corners the change of
        // u has the sign of the change of position along the tangent.
        const vec3 t = at3(s.tangents, v);
        EXPECT_FLOAT_EQ(dot(t, n), 0.0f);
        for (size_t a = v; a < v + 4; ++a)
            for (size_t b = v; b < v + 4; ++b) {
                const float du = s.texcoords[b * 2] - s.texcoords[a * 2];
                const float along = dot(s.position(b) - s.position(a), t);
                EXPECT_EQ(du > 0, along > 0.5f) << a << " " << b;
            }
    }
}

}  // namespace
