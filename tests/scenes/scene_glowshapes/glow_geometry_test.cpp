#include "support/test_support.h"

#include <cmath>

#include "scenes/scene_glowshapes/glow_geometry.h"
#include "util/math/scalar.h"

namespace {

const vec4 kColour1(1.0f, 0.5f, 0.25f, 0.8f);
const vec4 kColour2(0.0f, 0.25f, 1.0f, 0.4f);

// The construction with the default tracks of both scenes (phase 0).
GlowShapeSet default_set() {
    GlowShapeSet set;
    set.rings[0] = {vec3(0, 0, 0), 4.0f, ease(0.0f)};
    set.rings[1] = {vec3(0, 3, 0), 2.0f, ease(0.0f)};
    set.rings[2] = {vec3(0, -3, 0), 2.0f, ease(0.0f)};
    set.rings[3] = {vec3(0, 0, 0), 2.0f, ease(0.0f)};
    set.colour1 = set.protrusion_colour1 = kColour1;
    set.colour2 = set.protrusion_colour2 = kColour2;
    return set;
}

void expect_vec3(const vec3& actual, const vec3& expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void expect_colour(const vec4& actual, const vec4& expected) {
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(actual[k], expected[k], 1e-5f) << "component " << k;
}

// The centre of the bounding box of `count` vertices from `first` on.
vec3 centre_of(const VertexStreams& s, size_t first, size_t count) {
    vec3 lo(1e30f, 1e30f, 1e30f), hi(-1e30f, -1e30f, -1e30f);
    for (size_t v = first; v < first + count; ++v)
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::fmin(lo[k], s.position(v)[k]);
            hi[k] = std::fmax(hi[k], s.position(v)[k]);
        }
    return (lo + hi) * 0.5f;
}

TEST(GlowGeometry, FourRingsOfEightSquaresMake3072Vertices) {
    VertexStreams s;
    build_glow_shapes(default_set(), s);
    EXPECT_EQ(s.vertex_count(), 3072u);
    EXPECT_EQ(s.positions.size(), 3072u * 3);
    EXPECT_EQ(s.colours.size(), 3072u * 4);
    for (float f : s.positions) ASSERT_TRUE(std::isfinite(f));
}

TEST(GlowGeometry, SquaresStandAroundTheRingCentre) {
    VertexStreams s;
    build_glow_shapes(default_set(), s);
    const float r1 = 4.0f, r2 = 2.0f;
    const struct {
        int ring;
        float radius, height;
    } rings[] = {{0, r1, 0.0f}, {1, r2, 3.0f}, {2, r2, -3.0f}, {3, r2, 0.0f}};
    for (const auto& ring : rings) {
        for (int k = 0; k < 8; ++k) {
            SCOPED_TRACE(testing::Message() << "ring " << ring.ring << " square " << k);
            size_t first = (ring.ring * 8 + k) * kGlowVerticesPerSquare;
            float a = k * 45.0f * 3.14159265f / 180.0f;
            expect_vec3(centre_of(s, first, 24),
                        vec3(ring.radius * std::cos(a), ring.height, -ring.radius * std::sin(a)));
        }
    }
}

TEST(GlowGeometry, FrameTrianglesFollowTheTable) {
    VertexStreams s;
    add_glow_frame(2.0f, 0.2f, mat4(), kColour1, kColour2, s);
    ASSERT_EQ(s.vertex_count(), 24u);
    const float corners[24][2] = {
        {-2, -2},   {-1.8f, 1.8f}, {-2, 2},      {-2, -2},     {-1.8f, -1.8f}, {-1.8f, 1.8f},
        {-2, -2},   {2, -2},       {1.8f, -1.8f}, {-2, -2},    {1.8f, -1.8f},  {-1.8f, -1.8f},
        {2, -2},    {2, 2},        {1.8f, 1.8f},  {2, -2},     {1.8f, 1.8f},   {1.8f, -1.8f},
        {-2, 2},    {1.8f, 1.8f},  {2, 2},        {-2, 2},     {-1.8f, 1.8f},  {1.8f, 1.8f},
    };
    for (size_t v = 0; v < 24; ++v) {
        SCOPED_TRACE(v);
        expect_vec3(s.position(v), vec3(corners[v][0], corners[v][1], 0.0f));
    }
}

TEST(GlowGeometry, ProtrusionStandsOutByItsLength) {
    VertexStreams s;
    mat4 m;
    const float p = 1.5f;
    add_glow_protrusion(2.0f, 0.2f, m, p, kColour1, kColour2, s);
    ASSERT_EQ(s.vertex_count(), 72u);
    // The caller's matrix keeps the move.
    EXPECT_EQ(m.get(14), p);
    for (int side = 0; side < 4; ++side) {
        SCOPED_TRACE(side);
        size_t first = side * 18;
        // The face at z = p, the walls from z = p back to z = 0.
        for (size_t v = first; v < first + 6; ++v) EXPECT_EQ(s.position(v).z, p);
        float lo = 1e9f, hi = -1e9f;
        for (size_t v = first + 6; v < first + 18; ++v) {
            lo = std::fmin(lo, s.position(v).z);
            hi = std::fmax(hi, s.position(v).z);
        }
        EXPECT_EQ(lo, 0.0f);
        EXPECT_EQ(hi, p);
    }
    // The left outer wall: (A, 0) (B, 0) (B, -p), (A, 0) (B, -p) (A, -p).
    const float wall[6][3] = {{-2, -2, p}, {-2, 2, p}, {-2, 2, 0}, {-2, -2, p}, {-2, 2, 0}, {-2, -2, 0}};
    for (int v = 0; v < 6; ++v) expect_vec3(s.position(6 + v), vec3(wall[v][0], wall[v][1], wall[v][2]));
}

TEST(GlowGeometry, ZeroProtrusionCoincidesWithTheFrame) {
    VertexStreams s;
    build_glow_shapes(default_set(), s);
    // Each protrusion's face triangles repeat the frame's, side by side.
    for (size_t square = 0; square < 32; ++square) {
        size_t frame = square * kGlowVerticesPerSquare, prot = frame + 24;
        for (int side = 0; side < 4; ++side)
            for (int v = 0; v < 6; ++v)
                expect_vec3(s.position(prot + side * 18 + v), s.position(frame + side * 6 + v));
    }
}

TEST(GlowGeometry, TurnRotatesSquaresInTheirOwnPlane) {
    // Square 0 of ring 1 stands in the plane z = 0 at x = radius; a half
    // turn (turn 1) maps its frame corner (-s, -s) to (s, s).
    const struct {
        float turn;
        vec3 first_corner;
    } cases[] = {
        {0.0f, vec3(4 - 2, -2, 0)},
        {1.0f, vec3(4 + 2, 2, 0)},
        {0.5f, vec3(4 + 2, -2, 0)},
    };
    for (const auto& c : cases) {
        GlowShapeSet set = default_set();
        set.rings[0].turn = c.turn;
        VertexStreams s;
        add_glow_ring(set, set.rings[0], s);
        expect_vec3(s.position(0), c.first_corner, 1e-4f);
    }
    // The phases the scenes give: ease(4 / 4) = 1, ease(4 / 6) = 0.75.
    EXPECT_NEAR(ease(4.0f / 4.0f), 1.0f, 1e-6f);
    EXPECT_NEAR(ease(4.0f / 6.0f), 0.75f, 1e-6f);
}

TEST(GlowGeometry, EachPieceHasItsOwnVerticalGradient) {
    GlowShapeSet set = default_set();
    set.rings[1].turn = 0.25f;  // a tilted square: its gradient spans its own height
    set.protrusion = 1.0f;
    set.protrusion_colour1 = vec4(1, 1, 1, 1);
    set.protrusion_colour2 = vec4(0, 0, 0, 0);
    VertexStreams s;
    build_glow_shapes(set, s);
    for (size_t piece = 0; piece < 64; ++piece) {
        SCOPED_TRACE(piece);
        bool frame = piece % 2 == 0;
        size_t first = (piece / 2) * kGlowVerticesPerSquare + (frame ? 0 : 24);
        size_t count = frame ? 24 : 72;
        float lo = 1e9f, hi = -1e9f;
        for (size_t v = first; v < first + count; ++v) {
            lo = std::fmin(lo, s.position(v).y);
            hi = std::fmax(hi, s.position(v).y);
        }
        vec4 c1 = frame ? kColour1 : set.protrusion_colour1;
        vec4 c2 = frame ? kColour2 : set.protrusion_colour2;
        for (size_t v = first; v < first + count; ++v) {
            float t = (s.position(v).y - lo) / (hi - lo);
            expect_colour(s.colour(v), lerp(c2, c1, t));
            if (s.position(v).y == lo) expect_colour(s.colour(v), c2);
            if (s.position(v).y == hi) expect_colour(s.colour(v), c1);
        }
    }
}

TEST(GlowGeometry, FlatPieceTakesColourTwo) {
    // A square of size 0 and border 0 collapses to a point: no height to
    // spread a gradient over.
    VertexStreams s;
    add_glow_frame(0.0f, 0.0f, mat4(), kColour1, kColour2, s);
    mat4 m;
    add_glow_protrusion(0.0f, 0.0f, m, 0.0f, kColour1, kColour2, s);
    ASSERT_EQ(s.vertex_count(), 96u);
    for (size_t v = 0; v < s.vertex_count(); ++v) expect_colour(s.colour(v), kColour2);
}

}  // namespace
