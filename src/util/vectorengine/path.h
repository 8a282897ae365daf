// One drawable vector shape: a list of segments (segment.h) drawn as a
// filled area, as an outline of fixed width, or both, each in one flat
// colour. The fill lies under the outline.
//
// Triangles are built only when the path is dirty (after construction and
// after get_segments, through which callers edit points): the segments are
// flattened into points, the outline becomes a band of quads with a bevel
// triangle at every turn, the fill is tessellated (fill_tessellation.h), and
// both are uploaded to vertex buffers that every draw then renders with the
// program and matrices that are current (the vector engine sets them).
//
// Building is plain arithmetic (rebuild), testable without a GL context; the
// vertex buffers are made on the first draw.
#pragma once

#include <GL/glew.h>

#include <memory>
#include <string>
#include <vector>

#include "util/math/vector.h"
#include "util/vectorengine/segment.h"

class Path {
public:
    Path(const std::string& name, bool stroke, bool fill, const vec3* stroke_colour, const vec3* fill_colour);
    ~Path();
    Path(const Path&) = delete;
    Path& operator=(const Path&) = delete;

    void move_to(float x, float y);
    void line_to(float x, float y);
    void cubic_to(float c1x, float c1y, float c2x, float c2y, float x, float y);
    void close();
    // Keeps the segment and draws from a copy of it. It does not mark the
    // path dirty: segments are added before the path is first drawn. A type
    // of 5 or more ends the run.
    void add_segment(std::unique_ptr<Vectors::Segment> segment);

    // The working copies, to edit; the next draw rebuilds from them.
    std::vector<Vectors::Segment*> get_segments();
    void set_visible(bool on) { visible = on; }
    size_t segment_count() const { return segments.size(); }

    // Rebuilds when dirty (and visible), then draws the fill and the outline.
    void draw();

    // Flattens, outlines and tessellates the working copies when the path is
    // dirty; no GL. Returns whether it rebuilt.
    bool rebuild();

    // --- Building blocks, plain arithmetic --------------------------------------------

    // Appends (x, y, 0), nudged by the next nudge offset when x and y both
    // equal those of a point already in the list.
    static void add_point(std::vector<double>& points, double x, double y, int& nudge_counter);
    // Nudges the last point likewise when it repeats an earlier one.
    static void nudge_last_point(std::vector<double>& points, int& nudge_counter);
    // Called after `last` is flattened when a close follows it: a cubic's
    // own end point, which flattening leaves out, is added (as add_point
    // does) so that the close runs from where the outline ends; nothing when
    // that end is the contour's first point or `last` is no cubic.
    static void end_curve_before_close(const Vectors::Segment& last, std::vector<double>& points,
                                       const std::vector<int>& contour_starts, int& nudge_counter);
    // The eight nudge offsets, dx and dy, in the order they are used
    // (nudge_counter / 2 is the index).
    static const float nudge_offsets[8][2];

    // (b - a) turned a quarter turn, h long.
    static vec3 stroke_offset(const vec3& a, const vec3& b, float h);
    // The angle from a - b to e - b; only its sign is used.
    static float joint_angle(const vec3& a, const vec3& b, const vec3& e);
    // The outline of the flattened contours as separate triangles, x, y, z
    // per vertex; per contour the index in `vertices` of its first number.
    // `closed` joins every contour's last point to its second point. A point
    // list whose length is no multiple of three ends the run. An edge of
    // zero length (two points that coincide in floats) has no direction: it
    // gets no quad, and the turns at its ends no bevel.
    static void build_outline(const std::vector<double>& points, const std::vector<int>& contour_starts,
                              bool closed, float stroke_width, std::vector<float>& vertices,
                              std::vector<int>& starts);

    bool visible = true;
    bool stroke;
    bool fill;
    vec3 stroke_colour;
    vec3 fill_colour;
    float stroke_width = 10.0f;
    std::string name;

    // What the last rebuild made.
    std::vector<double> points;
    std::vector<int> contour_starts;
    std::vector<float> fill_vertices;
    std::vector<int> fill_starts;
    std::vector<float> stroke_vertices;
    std::vector<int> stroke_starts;

private:
    void upload();

    std::vector<std::unique_ptr<Vectors::Segment>> segments;         // drawn from
    std::vector<std::unique_ptr<Vectors::Segment>> source_segments;  // as added
    bool dirty = true;
    GLuint stroke_vbo = 0;
    GLuint fill_vbo = 0;
};
