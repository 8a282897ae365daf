// A path's rebuild without GL: the leading move, the outline of quads and
// bevels against worked numbers, what the stroke and fill flags build, and
// when the path is built again.
#include "support/test_support.h"

#include <cmath>
#include <limits>
#include <vector>

#include "util/vectorengine/path.h"

namespace {

const vec3 white(1, 1, 1);
const vec3 red(1, 0, 0);

struct V {
    float x, y;
};

using Triangle = std::vector<V>;

std::vector<Triangle> triangles_of(const std::vector<float>& vertices) {
    std::vector<Triangle> out;
    EXPECT_EQ(vertices.size() % 9, 0u);
    for (size_t i = 0; i + 8 < vertices.size(); i += 9) {
        out.push_back({{vertices[i], vertices[i + 1]}, {vertices[i + 3], vertices[i + 4]},
                       {vertices[i + 6], vertices[i + 7]}});
        for (int z = 2; z < 9; z += 3) EXPECT_EQ(vertices[i + z], 0.0f);
    }
    return out;
}

void expect_triangle(const Triangle& got, const Triangle& want, float tolerance = 1e-4f) {
    ASSERT_EQ(got.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(got[i].x, want[i].x, tolerance) << "x of vertex " << i;
        EXPECT_NEAR(got[i].y, want[i].y, tolerance) << "y of vertex " << i;
    }
}

TEST(PathOutline, ALineOfWidthTenIsTheRectangleAroundIt) {
    Path path("line", true, false, &white, &red);
    path.move_to(0, 0);
    path.line_to(10, 0);
    ASSERT_TRUE(path.rebuild());
    std::vector<Triangle> t = triangles_of(path.stroke_vertices);
    // L = a + o, R = a - o with o = (0, -5): the edge turned a quarter turn.
    ASSERT_EQ(t.size(), 2u);  // no join: the line has no next point
    expect_triangle(t[0], {{0, -5}, {10, -5}, {0, 5}});
    expect_triangle(t[1], {{0, 5}, {10, -5}, {10, 5}});
    EXPECT_EQ(path.stroke_starts, std::vector<int>{0});
}

TEST(PathOutline, AClosedTriangleJoinsItsLastPointToItsSecond) {
    Path path("triangle", true, false, &white, &red);
    path.move_to(0, 0);
    path.line_to(100, 0);
    path.line_to(0, 100);
    path.close();
    ASSERT_TRUE(path.rebuild());
    // Points: the three corners and the close's point a hair from the first.
    ASSERT_EQ(path.points.size(), 12u);
    std::vector<Triangle> t = triangles_of(path.stroke_vertices);
    // Per edge its quad (two triangles) and the bevel at its end.
    ASSERT_EQ(t.size(), 9u);
    const float h = 5.0f, d = h / std::sqrt(2.0f);
    // Edge (0,0)-(100,0): o = (0, -5).
    expect_triangle(t[0], {{0, -h}, {100, -h}, {0, h}});
    // The turn at (100, 0) toward (0, 100) bends right in y-down terms
    // (joint_angle < 0), so the bevel point is b + o2 with o2 of the next
    // edge: (100/l * h, 100/l * h) for l = 100 * sqrt 2.
    expect_triangle(t[2], {{100, -h}, {100, h}, {100 + d, d}});
    // Edge (0,100)-(close point): o = (-5, 0) (turned from (0, -100)).
    expect_triangle(t[6], {{-h, 100}, {-h, 0}, {h, 100}});
    // The last bevel, at the close point, uses the edge to the second point
    // (100, 0), whose o2 is (0, -5).
    expect_triangle(t[8], {{-h, 0}, {h, 0}, {0, -h}});
}

TEST(PathOutline, EveryContourEndsWithABevelWhenThePathEndsClosed) {
    Path path("two", true, false, &white, &red);
    path.move_to(0, 0);  // open contour
    path.line_to(50, 0);
    path.line_to(50, 50);
    path.move_to(200, 0);
    path.line_to(300, 0);
    path.line_to(300, 100);
    path.close();
    ASSERT_TRUE(path.rebuild());
    ASSERT_EQ(path.stroke_starts.size(), 2u);
    // First contour: two quads and two bevels; the last point (50, 50) joins
    // the second point (50, 0): a turn back along the same line.
    EXPECT_EQ(path.stroke_starts[1], (2 * 6 + 2 * 3) * 3);
    std::vector<Triangle> t = triangles_of(path.stroke_vertices);
    const Triangle& open_end = t[5];
    EXPECT_FLOAT_EQ(open_end[0].y, 50.0f);
    EXPECT_FLOAT_EQ(open_end[2].y, 50.0f);

    // Without the close, no contour's last point is joined.
    Path open("open", true, false, &white, &red);
    open.move_to(0, 0);
    open.line_to(50, 0);
    open.line_to(50, 50);
    ASSERT_TRUE(open.rebuild());
    EXPECT_EQ(triangles_of(open.stroke_vertices).size(), 2u * 2 + 1);
}

TEST(PathOutline, EdgesWithoutLengthGetNoTrianglesAndNothingIsNotANumber) {
    const struct {
        const char* name;
        void (*build)(Path&);
        size_t triangles;
    } cases[] = {
        // The close's hair vanishes in floats at 100: the closing edge has no
        // length, and neither has the turn back to the second point.
        {"a close right after a move, away from the origin", [](Path& p) {
             p.move_to(100, 100);
             p.close();
         }, 0},
        // A cubic whose points all coincide appends eight equal points.
        {"a cubic that is one point", [](Path& p) {
             p.move_to(50, 50);
             p.cubic_to(50, 50, 50, 50, 50, 50);
         }, 2},
        {"a control point that is no number", [](Path& p) {
             p.move_to(0, 0);
             p.cubic_to(10, std::numeric_limits<float>::quiet_NaN(), 20, 0, 30, 0);
         }, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Path path(c.name, true, true, &white, &red);
        c.build(path);
        ASSERT_TRUE(path.rebuild());
        for (float v : path.stroke_vertices) ASSERT_TRUE(std::isfinite(v));
        for (float v : path.fill_vertices) ASSERT_TRUE(std::isfinite(v));
        EXPECT_EQ(path.stroke_vertices.size(), c.triangles * 9);
    }
}

TEST(PathOutline, AListNotOfWholePointsEndsTheRun) {
    std::vector<float> vertices;
    std::vector<int> starts;
    EXPECT_FATAL(Path::build_outline({0, 0, 0, 1}, {0}, false, 10, vertices, starts),
                 "Stroke input vertices not divisible by 3, got 4 verts.");
}

TEST(PathOutline, JointAngleSignTellsTheSideOfTheTurn) {
    const struct {
        const char* name;
        vec3 a, b, e;
        int sign;
    } cases[] = {
        {"left in y-down", {0, 0, 0}, {1, 0, 0}, {1, -1, 0}, 1},
        {"right in y-down", {0, 0, 0}, {1, 0, 0}, {1, 1, 0}, -1},
        {"no turn to measure", {1, 0, 0}, {1, 0, 0}, {1, 0, 0}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        float angle = Path::joint_angle(c.a, c.b, c.e);
        EXPECT_EQ((angle > 0) - (angle < 0), c.sign) << angle;
    }
}

TEST(PathBuild, APathNotStartingWithAMoveGetsOneAtTheOrigin) {
    Path path("line first", true, false, &white, &red);
    path.line_to(10, 0);
    EXPECT_EQ(path.segment_count(), 1u);
    ASSERT_TRUE(path.rebuild());
    EXPECT_EQ(path.segment_count(), 2u);
    EXPECT_EQ(path.points, (std::vector<double>{0, 0, 0, 10, 0, 0}));
    EXPECT_EQ(path.contour_starts, std::vector<int>{0});
}

TEST(PathBuild, TheFlagsDecideWhatIsBuilt) {
    const struct {
        const char* name;
        bool stroke, fill;
    } cases[] = {{"both", true, true}, {"stroke only", true, false}, {"fill only", false, true}, {"neither", false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Path path(c.name, c.stroke, c.fill, &white, &red);
        path.move_to(0, 0);
        path.line_to(100, 0);
        path.line_to(100, 100);
        path.close();
        ASSERT_TRUE(path.rebuild());
        EXPECT_EQ(!path.stroke_vertices.empty(), c.stroke);
        EXPECT_EQ(!path.fill_vertices.empty(), c.fill);
    }
}

TEST(PathBuild, OnlyGetSegmentsMakesThePathBuildAgain) {
    Path path("arc", true, true, &white, &red);
    path.move_to(0, 540);
    path.cubic_to(100, 540, 200, 540, 300, 540);
    path.close();
    EXPECT_EQ(path.segment_count(), 3u);
    ASSERT_TRUE(path.rebuild());
    EXPECT_FALSE(path.rebuild());  // nothing changed
    const std::vector<double> flat = path.points;

    // A segment added after the first build shows only once the path is
    // marked again.
    path.line_to(0, 0);
    EXPECT_FALSE(path.rebuild());
    EXPECT_EQ(path.points, flat);

    // Raising the cubic's control points through get_segments bends it.
    std::vector<Vectors::Segment*> segments = path.get_segments();
    ASSERT_EQ(segments.size(), 4u);
    auto* arc = dynamic_cast<Vectors::SegmentCubic*>(segments[1]);
    ASSERT_NE(arc, nullptr);
    arc->c1.y = 180;
    arc->c2.y = 180;
    ASSERT_TRUE(path.rebuild());
    double highest = 540;
    for (size_t i = 0; i < path.points.size(); i += 3)
        if (path.points[i] > 0 && path.points[i] < 300) highest = std::min(highest, path.points[i + 1]);
    EXPECT_NEAR(highest, 270, 5);  // the top of the raised arc, y down
}

// A flattened cubic stops short of its own end point; a close right after
// it must still run from that end, not from the last piece's midpoint.
TEST(PathBuild, AClosedShapeClosesWhereItsLastCurveEnds) {
    Path path("bass", true, false, &white, &red);
    path.move_to(0, 540);
    path.line_to(300, 540);
    path.cubic_to(300, 180, 600, 180, 600, 540);  // raised: its last pieces are high
    path.close();
    ASSERT_TRUE(path.rebuild());
    const size_t n = path.points.size() / 3;
    ASSERT_GE(n, 12u);  // move, line, eight pieces, the end, the close
    EXPECT_EQ(path.points[(n - 2) * 3], 600.0);
    EXPECT_EQ(path.points[(n - 2) * 3 + 1], 540.0);
    EXPECT_NEAR(path.points[(n - 1) * 3], 0.0, 1e-6);
    EXPECT_NEAR(path.points[(n - 1) * 3 + 1], 540.0, 1e-6);
    // So the closing edge lies along the baseline: between the ends of the
    // line no outline vertex stands above the band of the stroke width.
    for (size_t i = 0; i < path.stroke_vertices.size(); i += 3) {
        const float x = path.stroke_vertices[i], y = path.stroke_vertices[i + 1];
        if (x > 10 && x < 290) {
            EXPECT_GE(y, 535.0f - 1e-3f) << "vertex at x " << x;
        }
    }
}

TEST(PathBuild, CurvesOtherwiseKeepTheirPointCounts) {
    const struct {
        const char* name;
        void (*build)(Path&);
        size_t points;
    } cases[] = {
        {"open curve", [](Path& p) { p.move_to(0, 0); p.cubic_to(0, 10, 10, 10, 10, 0); }, 1 + 8},
        {"curve, then a line, then the close",
         [](Path& p) { p.move_to(0, 0); p.cubic_to(0, 10, 10, 10, 10, 0); p.line_to(20, 0); p.close(); },
         1 + 8 + 1 + 1},
        // Back at the start: the close lands there anyway.
        {"closed loop of curves",
         [](Path& p) {
             p.move_to(0, 0);
             p.cubic_to(0, 10, 10, 10, 10, 0);
             p.cubic_to(10, -10, 0, -10, 0, 0);
             p.close();
         },
         1 + 8 + 8 + 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Path path(c.name, true, true, &white, &red);
        c.build(path);
        ASSERT_TRUE(path.rebuild());
        EXPECT_EQ(path.points.size(), 3 * c.points);
    }
}

TEST(PathBuild, SegmentsOfUnknownTypeEndTheRun) {
    Path path("bad", true, false, &white, &red);
    EXPECT_FATAL(path.add_segment(std::make_unique<Vectors::Segment>(5)),
                 "Invalid segment type for copy constructor!");
    EXPECT_EQ(path.segment_count(), 0u);
}

}  // namespace
