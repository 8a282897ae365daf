// The fill of flattened contours, judged by what it covers: its area and
// which points lie inside, never by how it is cut into triangles.
#include "support/test_support.h"

#include <cmath>
#include <vector>

#include "util/vectorengine/fill_tessellation.h"

namespace {

struct P {
    double x, y;
};
using Contour = std::vector<P>;

struct Fill {
    std::vector<float> vertices;
    std::vector<int> starts;
};

Fill fill_of(const std::vector<Contour>& contours) {
    std::vector<double> points;
    std::vector<int> starts;
    for (const Contour& c : contours) {
        starts.push_back(static_cast<int>(points.size()));
        for (const P& p : c) {
            points.push_back(p.x);
            points.push_back(p.y);
            points.push_back(0.0);
        }
    }
    Fill f;
    tessellate(points, starts, f.vertices, f.starts);
    return f;
}

// Every polygon is a triangle: its start and three vertices of x, y, 0.
void expect_triangles(const Fill& f) {
    ASSERT_EQ(f.vertices.size(), f.starts.size() * 9);
    for (size_t i = 0; i < f.starts.size(); ++i) EXPECT_EQ(f.starts[i], static_cast<int>(i * 9));
    for (size_t i = 2; i < f.vertices.size(); i += 3) EXPECT_EQ(f.vertices[i], 0.0f);
}

double area(const Fill& f) {
    double sum = 0;
    for (size_t i = 0; i + 8 < f.vertices.size(); i += 9) {
        const float* v = &f.vertices[i];
        sum += std::fabs((v[3] - v[0]) * (v[7] - v[1]) - (v[6] - v[0]) * (v[4] - v[1])) / 2;
    }
    return sum;
}

// How many triangles hold the point. It is moved off the exact spot by a
// little, so that it never lies on an edge that two triangles share.
int coverage(const Fill& f, double x, double y) {
    x += 0.0123;
    y += 0.0071;
    int n = 0;
    for (size_t i = 0; i + 8 < f.vertices.size(); i += 9) {
        const float* v = &f.vertices[i];
        auto side = [&](int a, int b) {
            return (v[b * 3] - v[a * 3]) * (y - v[a * 3 + 1]) - (v[b * 3 + 1] - v[a * 3 + 1]) * (x - v[a * 3]);
        };
        double s0 = side(0, 1), s1 = side(1, 2), s2 = side(2, 0);
        if ((s0 > 0 && s1 > 0 && s2 > 0) || (s0 < 0 && s1 < 0 && s2 < 0)) ++n;
    }
    return n;
}

const Contour square10 = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
const Contour hole6 = {{2, 2}, {8, 2}, {8, 8}, {2, 8}};

// A five-pointed star drawn in one stroke, every second corner of a
// pentagon: its edges cross and enclose the middle twice.
Contour pentagram(double cx, double cy, double r) {
    Contour c;
    for (int i = 0; i < 5; ++i) {
        const double a = -M_PI / 2 + i * 4 * M_PI / 5;
        c.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return c;
}

TEST(FillTessellation, CoversWhatTheOddRuleFills) {
    struct Probe {
        double x, y;
        bool inside;
    };
    const struct {
        const char* name;
        std::vector<Contour> contours;
        double area;
        std::vector<Probe> probes;
    } cases[] = {
        {"a square", {square10}, 100, {{5, 5, true}, {0.5, 9.5, true}, {11, 5, false}}},
        {"a square with a square hole", {square10, hole6}, 64, {{1, 1, true}, {9, 5, true}, {5, 5, false}, {3, 7, false}}},
        {"the hole drawn the other way round", {square10, {{2, 2}, {2, 8}, {8, 8}, {8, 2}}}, 64, {{5, 5, false}, {1, 5, true}}},
        {"a figure eight fills its two lobes", {{{0, 0}, {10, 0}, {0, 10}, {10, 10}}}, 50,
         {{5, 2, true}, {5, 8, true}, {2, 5, false}, {8, 5, false}}},
        {"two overlapping squares leave their overlap empty", {square10, {{5, 5}, {15, 5}, {15, 15}, {5, 15}}}, 150,
         {{2, 2, true}, {12, 12, true}, {7, 7, false}}},
        {"a pentagram leaves its middle empty", {pentagram(0, 0, 100)}, 0,
         {{0, -90, true}, {0, 0, false}, {0, 20, false}}},
        {"one point", {{{1, 1}}}, 0, {}},
        {"two points", {{{1, 1}, {5, 5}}}, 0, {}},
        {"points on one line", {{{0, 0}, {5, 0}, {10, 0}}}, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fill f = fill_of(c.contours);
        expect_triangles(f);
        if (c.area > 0) {
            EXPECT_NEAR(area(f), c.area, 1e-3);
        }
        for (const Probe& p : c.probes)
            EXPECT_EQ(coverage(f, p.x, p.y), p.inside ? 1 : 0) << "at " << p.x << ", " << p.y;
    }
}

TEST(FillTessellation, APentagramFillsItsFivePointsOnly) {
    // The points of a star of radius 100: the star's area less its inner
    // pentagon. With R the outer and r the inner radius (r = R * 0.381966),
    // the star is 5 * R * r * sin(36 deg); the pentagon 5/2 * r^2 * sin(72).
    const double R = 100, r = R * 0.3819660112501051;
    const double star = 5 * R * r * std::sin(M_PI / 5);
    const double pentagon = 2.5 * r * r * std::sin(2 * M_PI / 5);
    Fill f = fill_of({pentagram(0, 0, R)});
    EXPECT_NEAR(area(f), star - pentagon, 0.5);
}

TEST(FillTessellation, EachCallStartsAfresh) {
    Fill ring = fill_of({square10, hole6});
    Fill square = fill_of({square10});
    EXPECT_NEAR(area(square), 100, 1e-3);
    EXPECT_EQ(coverage(square, 5, 5), 1);
    Fill again = fill_of({square10, hole6});
    EXPECT_EQ(again.vertices, ring.vertices);
}

TEST(FillTessellation, TheOutputIsReplacedNotAppended) {
    std::vector<double> points = {0, 0, 0, 10, 0, 0, 10, 10, 0};
    std::vector<float> vertices = {1, 2, 3};
    std::vector<int> starts = {7};
    tessellate(points, {0}, vertices, starts);
    EXPECT_EQ(starts, std::vector<int>{0});
    EXPECT_EQ(vertices.size(), 9u);
}

TEST(FillTessellation, AContourOfPartPointsEndsTheRun) {
    std::vector<double> points = {0, 0, 0, 10, 0, 0, 10, 10};
    std::vector<float> vertices;
    std::vector<int> starts;
    EXPECT_FATAL(tessellate(points, {0}, vertices, starts), "Failed assert 0 == ( num_verts % 3 )");
    // The tessellator is left ready for the next fill.
    Fill f = fill_of({square10});
    EXPECT_NEAR(area(f), 100, 1e-3);
}

TEST(FillTessellation, PointsThatAreNoNumbersFillNothing) {
    std::vector<double> points = {0, 0, 0, 10, 0, 0, NAN, 10, 0, 0, 10, 0};
    std::vector<float> vertices;
    std::vector<int> starts;
    tessellate(points, {0}, vertices, starts);
    EXPECT_TRUE(vertices.empty());
    EXPECT_TRUE(starts.empty());
}

}  // namespace
