// The pieces of a vector path: move, line, cubic Bezier and close. Before a
// path is stroked or filled its segments are flattened, in order, into one
// list of points (x, y, z; z always 0): a move starts a new contour, a line
// adds its end point, a cubic adds the midpoints of the pieces it is cut into
// and a close adds a point a hair away from where its contour started.
//
// No two points added by a move or a line ever coincide exactly: a point that
// would repeat one already in the list is nudged by 0.001 in one of eight
// directions (util/vectorengine/path.h, add_point). The outline and the fill
// tessellator both rely on that; coinciding points give zero-length edges.
//
// Depends on vec3 only; no GL.
#pragma once

#include <memory>
#include <vector>

#include "util/math/vector.h"

namespace Vectors {

// What every emit appends to and reads from; owned by the path.
struct FlattenState {
    std::vector<double> points;       // x, y, z per point
    std::vector<int> contour_starts;  // per contour, index in points of its first number
    int nudge_counter = 0;            // 0, 2, ..., 14: the next nudge offset
};

enum SegmentType {
    SEGMENT_MOVE = 0,
    SEGMENT_LINE = 1,
    SEGMENT_CUBIC = 2,
    // A cubic whose first control point becomes the current point when it
    // is flattened. Nothing in the program makes one; it is handled anyway.
    SEGMENT_CUBIC_SMOOTH = 3,
    SEGMENT_CLOSE = 4,
};

class Segment {
public:
    explicit Segment(int segment_type) : type(segment_type) {}
    virtual ~Segment() = default;

    // Appends this segment's points.
    virtual void emit(std::vector<double>& points, std::vector<int>& contour_starts, int& nudge_counter);
    // Every point of this segment becomes (1 - t) * a + t * b; a and b are
    // segments of this segment's class.
    virtual void lerp(const Segment& a, const Segment& b, float t);
    // Widens the box so that the end point lies inside (a cubic's control
    // points do not count).
    virtual void bounds(float& min_x, float& min_y, float& max_x, float& max_y) const;
    // Bends every point's y toward target_y: fully past x1 (seen from x0),
    // along a linear ramp between x0 and x1, not at all before x0.
    virtual void warp(float target_y, float x0, float x1);
    // A copy of the same class.
    virtual std::unique_ptr<Segment> clone() const;

    void emit(FlattenState& state) { emit(state.points, state.contour_starts, state.nudge_counter); }
    int GetType() const { return type; }

    int type;
};

class SegmentMove : public Segment {
public:
    explicit SegmentMove(const vec3& end_point) : Segment(SEGMENT_MOVE), end(end_point) {}
    void emit(std::vector<double>& points, std::vector<int>& contour_starts, int& nudge_counter) override;
    void lerp(const Segment& a, const Segment& b, float t) override;
    void bounds(float& min_x, float& min_y, float& max_x, float& max_y) const override;
    void warp(float target_y, float x0, float x1) override;
    std::unique_ptr<Segment> clone() const override { return std::make_unique<SegmentMove>(*this); }

    vec3 end;
};

class SegmentLine : public Segment {
public:
    explicit SegmentLine(const vec3& end_point) : Segment(SEGMENT_LINE), end(end_point) {}
    void emit(std::vector<double>& points, std::vector<int>& contour_starts, int& nudge_counter) override;
    void lerp(const Segment& a, const Segment& b, float t) override;
    void bounds(float& min_x, float& min_y, float& max_x, float& max_y) const override;
    void warp(float target_y, float x0, float x1) override;
    std::unique_ptr<Segment> clone() const override { return std::make_unique<SegmentLine>(*this); }

    vec3 end;
};

class SegmentCubic : public Segment {
public:
    SegmentCubic(const vec3& control1, const vec3& control2, const vec3& end_point,
                 int segment_type = SEGMENT_CUBIC)
        : Segment(segment_type), c1(control1), c2(control2), end(end_point) {}
    void emit(std::vector<double>& points, std::vector<int>& contour_starts, int& nudge_counter) override;
    void lerp(const Segment& a, const Segment& b, float t) override;
    void bounds(float& min_x, float& min_y, float& max_x, float& max_y) const override;
    void warp(float target_y, float x0, float x1) override;
    std::unique_ptr<Segment> clone() const override { return std::make_unique<SegmentCubic>(*this); }

    // Cuts the cubic p0..p3 in halves until each piece is flat (tested only
    // once depth has reached 0) and appends the midpoint of every piece; the
    // curve's own end point is not appended. All arithmetic in floats.
    static void subdivide(std::vector<double>& points, int depth, float tolerance, float p0x, float p0y,
                          float p1x, float p1y, float p2x, float p2y, float p3x, float p3y);

    // Below this depth a piece is taken as flat whatever the test says, and a
    // piece whose flatness cannot be measured (a coordinate that is not a
    // number) at once: the test alone would recurse without end on them.
    static constexpr int kDepthFloor = -16;

    vec3 c1, c2, end;
    float tolerance = 0.2f;
    int depth = 3;
};

class SegmentClose : public Segment {
public:
    SegmentClose() : Segment(SEGMENT_CLOSE) {}
    void emit(std::vector<double>& points, std::vector<int>& contour_starts, int& nudge_counter) override;
    std::unique_ptr<Segment> clone() const override { return std::make_unique<SegmentClose>(*this); }
};

// The offset of a close's last point from its contour's first point, on x
// and y: the outline of a closed shape then has a last edge to join.
constexpr float kCloseHair = 1e-7f;

}  // namespace Vectors
