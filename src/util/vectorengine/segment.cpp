#include "util/vectorengine/segment.h"

#include <cmath>

#include "util/math/scalar.h"
#include "util/vectorengine/path.h"

namespace Vectors {

namespace {

void widen(const vec3& p, float& min_x, float& min_y, float& max_x, float& max_y) {
    if (p.x < min_x) min_x = p.x;
    if (p.y < min_y) min_y = p.y;
    if (p.x > max_x) max_x = p.x;
    if (p.y > max_y) max_y = p.y;
}

void warp_point(vec3& p, float target_y, float x0, float x1) {
    if (x1 > x0) {
        if (p.x > x1)
            p.y = target_y;
        else if (p.x > x0)
            p.y = ::lerp(p.y, target_y, (p.x - x0) / (x1 - x0));
    } else {
        if (p.x < x1)
            p.y = target_y;
        else if (p.x < x0)
            p.y = ::lerp(p.y, target_y, (x0 - p.x) / (x0 - x1));
    }
}

vec3 blend(const vec3& a, const vec3& b, float t) {
    return vec3((1.0f - t) * a.x + t * b.x, (1.0f - t) * a.y + t * b.y, (1.0f - t) * a.z + t * b.z);
}

void append_point(std::vector<double>& points, float x, float y) {
    points.push_back(x);
    points.push_back(y);
    points.push_back(0.0);
}

}  // namespace

// The base does nothing: a segment without points.
void Segment::emit(std::vector<double>&, std::vector<int>&, int&) {}
void Segment::lerp(const Segment&, const Segment&, float) {}
void Segment::bounds(float&, float&, float&, float&) const {}
void Segment::warp(float, float, float) {}
std::unique_ptr<Segment> Segment::clone() const { return std::make_unique<Segment>(*this); }

void SegmentMove::emit(std::vector<double>& points, std::vector<int>& contour_starts, int& nudge_counter) {
    contour_starts.push_back(static_cast<int>(points.size()));
    Path::add_point(points, end.x, end.y, nudge_counter);
}

void SegmentMove::lerp(const Segment& a, const Segment& b, float t) {
    end = blend(static_cast<const SegmentMove&>(a).end, static_cast<const SegmentMove&>(b).end, t);
}

void SegmentMove::bounds(float& min_x, float& min_y, float& max_x, float& max_y) const {
    widen(end, min_x, min_y, max_x, max_y);
}

void SegmentMove::warp(float target_y, float x0, float x1) { warp_point(end, target_y, x0, x1); }

void SegmentLine::emit(std::vector<double>& points, std::vector<int>&, int& nudge_counter) {
    Path::add_point(points, end.x, end.y, nudge_counter);
}

void SegmentLine::lerp(const Segment& a, const Segment& b, float t) {
    end = blend(static_cast<const SegmentLine&>(a).end, static_cast<const SegmentLine&>(b).end, t);
}

void SegmentLine::bounds(float& min_x, float& min_y, float& max_x, float& max_y) const {
    widen(end, min_x, min_y, max_x, max_y);
}

void SegmentLine::warp(float target_y, float x0, float x1) { warp_point(end, target_y, x0, x1); }

void SegmentCubic::emit(std::vector<double>& points, std::vector<int>&, int& nudge_counter) {
    if (points.empty()) append_point(points, 0.0f, 0.0f);
    const size_t last = points.size() - 3;
    const float p0x = static_cast<float>(points[last]);
    const float p0y = static_cast<float>(points[last + 1]);
    if (type == SEGMENT_CUBIC_SMOOTH) c1 = vec3(p0x, p0y, 0.0f);
    subdivide(points, depth, tolerance, p0x, p0y, c1.x, c1.y, c2.x, c2.y, end.x, end.y);
    Path::nudge_last_point(points, nudge_counter);
}

void SegmentCubic::subdivide(std::vector<double>& points, int depth, float tolerance, float p0x, float p0y,
                             float p1x, float p1y, float p2x, float p2y, float p3x, float p3y) {
    const float p01x = (p0x + p1x) * 0.5f, p01y = (p0y + p1y) * 0.5f;
    const float p12x = (p1x + p2x) * 0.5f, p12y = (p1y + p2y) * 0.5f;
    const float p23x = (p2x + p3x) * 0.5f, p23y = (p2y + p3y) * 0.5f;
    const float p012x = (p01x + p12x) * 0.5f, p012y = (p01y + p12y) * 0.5f;
    const float p123x = (p12x + p23x) * 0.5f, p123y = (p12y + p23y) * 0.5f;
    const float mx = (p012x + p123x) * 0.5f, my = (p012y + p123y) * 0.5f;

    if (depth <= 0) {
        const float dx = p3x - p0x, dy = p3y - p0y;
        const float dev1 = std::fabs((p1x - p3x) * dy - (p1y - p3y) * dx);
        const float dev2 = std::fabs((p2x - p3x) * dy - (p2y - p3y) * dx);
        const float chord = (dx * dx + dy * dy) * tolerance;
        const float deviation = (dev1 + dev2) * (dev1 + dev2);
        const bool flat = chord >= deviation;
        const bool measurable = !std::isnan(chord) && !std::isnan(deviation);
        if (flat || !measurable || depth <= kDepthFloor) {
            append_point(points, mx, my);
            return;
        }
    }
    subdivide(points, depth - 1, tolerance, p0x, p0y, p01x, p01y, p012x, p012y, mx, my);
    subdivide(points, depth - 1, tolerance, mx, my, p123x, p123y, p23x, p23y, p3x, p3y);
}

void SegmentCubic::lerp(const Segment& a, const Segment& b, float t) {
    const auto& ca = static_cast<const SegmentCubic&>(a);
    const auto& cb = static_cast<const SegmentCubic&>(b);
    c1 = blend(ca.c1, cb.c1, t);
    c2 = blend(ca.c2, cb.c2, t);
    end = blend(ca.end, cb.end, t);
}

void SegmentCubic::bounds(float& min_x, float& min_y, float& max_x, float& max_y) const {
    widen(end, min_x, min_y, max_x, max_y);
}

void SegmentCubic::warp(float target_y, float x0, float x1) {
    warp_point(c1, target_y, x0, x1);
    warp_point(c2, target_y, x0, x1);
    warp_point(end, target_y, x0, x1);
}

void SegmentClose::emit(std::vector<double>& points, std::vector<int>& contour_starts, int&) {
    if (points.empty()) return;
    // No contour yet (a path always starts with a move, so only a bare list
    // has none): the list's first point starts it.
    const size_t first = contour_starts.empty() ? 0 : static_cast<size_t>(contour_starts.back());
    const double x = points[first], y = points[first + 1], z = points[first + 2];
    points.push_back(x + kCloseHair);
    points.push_back(y + kCloseHair);
    points.push_back(z);
}

}  // namespace Vectors
