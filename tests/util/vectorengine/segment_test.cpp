// Flattening segments into one point list: the nudge that keeps points
// apart, the hair a close leaves, the midpoints of a cut cubic, and the
// bounds, warp and blend of segments.
#include "support/test_support.h"

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "util/vectorengine/path.h"
#include "util/vectorengine/segment.h"

namespace {

using namespace Vectors;

// The float 0.001 and 1e-7 widened, as the offsets are added.
const double k = static_cast<double>(0.001f);
const double hair = static_cast<double>(1e-7f);

struct Pt {
    double x, y;
};

std::unique_ptr<Segment> move(float x, float y) { return std::make_unique<SegmentMove>(vec3(x, y, 0)); }
std::unique_ptr<Segment> line(float x, float y) { return std::make_unique<SegmentLine>(vec3(x, y, 0)); }
std::unique_ptr<Segment> cubic(float ax, float ay, float bx, float by, float x, float y) {
    return std::make_unique<SegmentCubic>(vec3(ax, ay, 0), vec3(bx, by, 0), vec3(x, y, 0));
}
std::unique_ptr<Segment> close() { return std::make_unique<SegmentClose>(); }

using Segments = std::vector<std::unique_ptr<Segment>>;

template <typename... S>
Segments list(S... s) {
    Segments out;
    (out.push_back(std::move(s)), ...);
    return out;
}

FlattenState flatten(const Segments& segments) {
    FlattenState state;
    for (const auto& s : segments) s->emit(state);
    return state;
}

std::vector<Pt> points_of(const FlattenState& state) {
    std::vector<Pt> out;
    for (size_t i = 0; i < state.points.size(); i += 3) {
        EXPECT_EQ(state.points[i + 2], 0.0) << "z of point " << i / 3;
        out.push_back({state.points[i], state.points[i + 1]});
    }
    return out;
}

void expect_points(const std::vector<Pt>& got, const std::vector<Pt>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].x, want[i].x) << "x of point " << i;
        EXPECT_EQ(got[i].y, want[i].y) << "y of point " << i;
    }
}

TEST(Flattening, PointsContoursAndNudgesFollowTheSegments) {
    struct Case {
        const char* name;
        std::function<Segments()> segments;
        std::vector<Pt> points;
        std::vector<int> contour_starts;
        int nudge_counter;
    };
    const Case cases[] = {
        {"a point back at the start is nudged up and right",
         [] { return list(move(0, 0), line(10, 0), line(0, 0)); },
         {{0, 0}, {10, 0}, {k, k}}, {0}, 2},
        {"the next repeat takes the next offset, right",
         [] { return list(move(0, 0), line(10, 0), line(0, 0), line(0, 0)); },
         {{0, 0}, {10, 0}, {k, k}, {k, 0}}, {0}, 4},
        {"the offsets turn clockwise through all eight and start over",
         [] {
             return list(move(0, 0), line(0, 0), line(0, 0), line(0, 0), line(0, 0), line(0, 0), line(0, 0),
                         line(0, 0), line(0, 0), line(0, 0));
         },
         {{0, 0}, {k, k}, {k, 0}, {k, -k}, {0, -k}, {-k, -k}, {-k, 0}, {-k, k}, {0, k}, {k, k}}, {0}, 2},
        {"a point of an earlier contour counts",
         [] { return list(move(5, 5), line(10, 0), move(5, 5)); },
         {{5, 5}, {10, 0}, {5 + k, 5 + k}}, {0, 6}, 2},
        {"a close right after a move ends a hair away",
         [] { return list(move(0, 0), close()); }, {{0, 0}, {hair, hair}}, {0}, 0},
        {"a close returns to its own contour's start",
         [] { return list(move(0, 0), line(4, 0), move(2, 2), line(3, 3), close()); },
         {{0, 0}, {4, 0}, {2, 2}, {3, 3}, {2 + hair, 2 + hair}}, {0, 6}, 0},
        {"a close on an empty list appends nothing", [] { return list(close()); }, {}, {}, 0},
        {"a line on an empty list is its first point", [] { return list(line(3, 4)); }, {{3, 4}}, {}, 0},
        {"a straight cubic gives the midpoints of its eight pieces, not its end",
         [] { return list(move(0, 0), cubic(1, 0, 2, 0, 3, 0)); },
         {{0, 0}, {3 / 16.0, 0}, {9 / 16.0, 0}, {15 / 16.0, 0}, {21 / 16.0, 0}, {27 / 16.0, 0}, {33 / 16.0, 0},
          {39 / 16.0, 0}, {45 / 16.0, 0}},
         {0}, 0},
        {"a cubic on an empty list starts from the origin",
         [] { return list(cubic(1, 0, 2, 0, 3, 0)); },
         {{0, 0}, {3 / 16.0, 0}, {9 / 16.0, 0}, {15 / 16.0, 0}, {21 / 16.0, 0}, {27 / 16.0, 0}, {33 / 16.0, 0},
          {39 / 16.0, 0}, {45 / 16.0, 0}},
         {}, 0},
        {"a cubic whose last point repeats an earlier one nudges it",
         [] { return list(move(2.8125f, 0), line(0, 0), cubic(1, 0, 2, 0, 3, 0)); },
         {{2.8125, 0}, {0, 0}, {3 / 16.0, 0}, {9 / 16.0, 0}, {15 / 16.0, 0}, {21 / 16.0, 0}, {27 / 16.0, 0},
          {33 / 16.0, 0}, {39 / 16.0, 0}, {2.8125 + k, k}},
         {0}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FlattenState state = flatten(c.segments());
        expect_points(points_of(state), c.points);
        EXPECT_EQ(state.contour_starts, c.contour_starts);
        EXPECT_EQ(state.nudge_counter, c.nudge_counter);
    }
}

TEST(Flattening, AddedPointsNeverRepeatAPointAlreadyInTheList) {
    // A square drawn twice over, closed, with every corner revisited.
    Segments s = list(move(0, 0), line(10, 0), line(10, 10), line(0, 10), line(0, 0), line(10, 0), line(10, 10),
                      move(10, 10), line(0, 0));
    FlattenState state = flatten(s);
    std::vector<Pt> p = points_of(state);
    ASSERT_EQ(p.size(), 9u);
    for (size_t i = 0; i < p.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            EXPECT_FALSE(p[i].x == p[j].x && p[i].y == p[j].y) << "points " << j << " and " << i;
}

TEST(Flattening, ASmoothCubicStartsFromTheCurrentPoint) {
    auto smooth = std::make_unique<SegmentCubic>(vec3(100, 100, 0), vec3(2, 0, 0), vec3(3, 0, 0),
                                                 SEGMENT_CUBIC_SMOOTH);
    SegmentCubic* c = smooth.get();
    Segments s = list(move(0, 0));
    s.push_back(std::move(smooth));
    FlattenState state = flatten(s);
    EXPECT_EQ(c->c1.x, 0.0f);
    EXPECT_EQ(c->c1.y, 0.0f);
    std::vector<Pt> p = points_of(state);
    ASSERT_EQ(p.size(), 9u);
    for (const Pt& q : p) EXPECT_EQ(q.y, 0.0);  // the far control point is gone
}

// The cubic at parameter t.
Pt bezier(Pt p0, Pt p1, Pt p2, Pt p3, double t) {
    const double u = 1 - t;
    return {u * u * u * p0.x + 3 * u * u * t * p1.x + 3 * u * t * t * p2.x + t * t * t * p3.x,
            u * u * u * p0.y + 3 * u * u * t * p1.y + 3 * u * t * t * p2.y + t * t * t * p3.y};
}

TEST(Flattening, ALargeCurveIsCutFinerAndItsPointsLieOnIt) {
    // A quarter circle of radius 1000: eight pieces would leave it far from
    // flat, so pieces are halved until each is within the tolerance.
    const Pt p0{1000, 0}, p1{1000, 552}, p2{552, 1000}, p3{0, 1000};
    Segments s = list(move(1000, 0), cubic(1000, 552, 552, 1000, 0, 1000));
    std::vector<Pt> p = points_of(flatten(s));
    ASSERT_GT(p.size(), 17u);
    for (size_t i = 1; i < p.size(); ++i) {
        double best = 1e9;
        for (int step = 0; step <= 4096; ++step) {
            Pt q = bezier(p0, p1, p2, p3, step / 4096.0);
            best = std::min(best, std::hypot(q.x - p[i].x, q.y - p[i].y));
        }
        EXPECT_LT(best, 0.5) << "point " << i;
    }
}

TEST(Flattening, ACubicWithAPointThatIsNoNumberStillEnds) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        const char* name;
        float c1y;
    } cases[] = {{"not a number", nan}, {"infinite", inf}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Pt> p = points_of(flatten(list(move(0, 0), cubic(1, c.c1y, 2, 0, 3, 0))));
        EXPECT_GE(p.size(), 9u);
        EXPECT_LE(p.size(), 1u + (1u << 19));
    }
}

TEST(Segments, BoundsCountTheEndPointOnly) {
    float min_x = 99999, min_y = 99999, max_x = -99999, max_y = -99999;
    SegmentMove(vec3(1, 2, 0)).bounds(min_x, min_y, max_x, max_y);
    SegmentCubic(vec3(-50, -50, 0), vec3(80, 90, 0), vec3(5, 6, 0)).bounds(min_x, min_y, max_x, max_y);
    SegmentClose().bounds(min_x, min_y, max_x, max_y);
    EXPECT_EQ(min_x, 1.0f);
    EXPECT_EQ(min_y, 2.0f);
    EXPECT_EQ(max_x, 5.0f);
    EXPECT_EQ(max_y, 6.0f);
    SegmentLine(vec3(-3, 10, 0)).bounds(min_x, min_y, max_x, max_y);
    EXPECT_EQ(min_x, -3.0f);
    EXPECT_EQ(max_y, 10.0f);
}

TEST(Segments, WarpBendsPointsTowardTheTargetOverTheRange) {
    const struct {
        const char* name;
        float x0, x1, px, py, want_y;
    } cases[] = {
        {"inside the ramp", 10, 20, 15, 1, 3},
        {"past the far end", 10, 20, 25, 1, 5},
        {"at the far end", 10, 20, 20, 1, 5},
        {"before the near end", 10, 20, 5, 1, 1},
        {"at the near end", 10, 20, 10, 1, 1},
        {"reversed range, inside", 20, 10, 15, 1, 3},
        {"reversed range, past", 20, 10, 5, 1, 5},
        {"reversed range, before", 20, 10, 25, 1, 1},
        {"empty range", 10, 10, 15, 1, 1},
        {"empty range, past", 10, 10, 5, 1, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SegmentLine l(vec3(c.px, c.py, 0));
        l.warp(5, c.x0, c.x1);
        EXPECT_FLOAT_EQ(l.end.y, c.want_y);
        EXPECT_EQ(l.end.x, c.px);
    }
    SegmentCubic cubic(vec3(15, 1, 0), vec3(25, 1, 0), vec3(5, 1, 0));
    cubic.warp(5, 10, 20);
    EXPECT_FLOAT_EQ(cubic.c1.y, 3);
    EXPECT_FLOAT_EQ(cubic.c2.y, 5);
    EXPECT_FLOAT_EQ(cubic.end.y, 1);
}

TEST(Segments, LerpBlendsEveryPointOfTheSameClass) {
    SegmentCubic a(vec3(0, 0, 0), vec3(10, 10, 2), vec3(4, 8, 0));
    SegmentCubic b(vec3(10, 20, 0), vec3(20, 0, 4), vec3(8, 0, 0));
    SegmentCubic c(vec3(0, 0, 0), vec3(0, 0, 0), vec3(0, 0, 0));
    c.lerp(a, b, 0.25f);
    EXPECT_FLOAT_EQ(c.c1.x, 2.5f);
    EXPECT_FLOAT_EQ(c.c1.y, 5.0f);
    EXPECT_FLOAT_EQ(c.c2.x, 12.5f);
    EXPECT_FLOAT_EQ(c.c2.y, 7.5f);
    EXPECT_FLOAT_EQ(c.c2.z, 2.5f);
    EXPECT_FLOAT_EQ(c.end.x, 5.0f);
    EXPECT_FLOAT_EQ(c.end.y, 6.0f);

    SegmentMove m(vec3(0, 0, 0));
    m.lerp(SegmentMove(vec3(0, 0, 0)), SegmentMove(vec3(10, -10, 0)), 0.5f);
    EXPECT_FLOAT_EQ(m.end.x, 5.0f);
    EXPECT_FLOAT_EQ(m.end.y, -5.0f);
}

TEST(Segments, CopiesKeepTheClassTypeAndEveryPoint) {
    SegmentCubic smooth(vec3(1, 2, 0), vec3(3, 4, 0), vec3(5, 6, 0), SEGMENT_CUBIC_SMOOTH);
    smooth.tolerance = 0.5f;
    smooth.depth = 2;
    std::unique_ptr<Segment> copy = smooth.clone();
    ASSERT_EQ(copy->GetType(), SEGMENT_CUBIC_SMOOTH);
    auto* c = dynamic_cast<SegmentCubic*>(copy.get());
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->c2.x, 3.0f);
    EXPECT_EQ(c->end.y, 6.0f);
    EXPECT_EQ(c->tolerance, 0.5f);
    EXPECT_EQ(c->depth, 2);
    EXPECT_EQ(SegmentClose().clone()->GetType(), SEGMENT_CLOSE);
}

}  // namespace
