#include "util/vectorengine/path.h"

#include <cmath>

#include "system/fatal.h"
#include "util/vectorengine/fill_tessellation.h"

// Clockwise in y-up terms, starting up and to the right.
const float Path::nudge_offsets[8][2] = {
    {0.001f, 0.001f},   {0.001f, 0.0f},  {0.001f, -0.001f}, {0.0f, -0.001f},
    {-0.001f, -0.001f}, {-0.001f, 0.0f}, {-0.001f, 0.001f}, {0.0f, 0.001f},
};

Path::Path(const std::string& path_name, bool with_stroke, bool with_fill, const vec3* stroke_rgb,
           const vec3* fill_rgb)
    : stroke(with_stroke),
      fill(with_fill),
      stroke_colour(stroke_rgb->x, stroke_rgb->y, stroke_rgb->z),
      fill_colour(fill_rgb->x, fill_rgb->y, fill_rgb->z),
      name(path_name) {}

Path::~Path() {
    if (stroke_vbo) glDeleteBuffers(1, &stroke_vbo);
    if (fill_vbo) glDeleteBuffers(1, &fill_vbo);
}

void Path::move_to(float x, float y) { add_segment(std::make_unique<Vectors::SegmentMove>(vec3(x, y, 0.0f))); }

void Path::line_to(float x, float y) { add_segment(std::make_unique<Vectors::SegmentLine>(vec3(x, y, 0.0f))); }

void Path::cubic_to(float c1x, float c1y, float c2x, float c2y, float x, float y) {
    add_segment(std::make_unique<Vectors::SegmentCubic>(vec3(c1x, c1y, 0.0f), vec3(c2x, c2y, 0.0f),
                                                        vec3(x, y, 0.0f)));
}

void Path::close() { add_segment(std::make_unique<Vectors::SegmentClose>()); }

void Path::add_segment(std::unique_ptr<Vectors::Segment> segment) {
    const int type = segment->GetType();
    if (type < Vectors::SEGMENT_MOVE || type > Vectors::SEGMENT_CLOSE)
        FATAL_ERROR("Invalid segment type for copy constructor!");
    segments.push_back(segment->clone());
    source_segments.push_back(std::move(segment));
}

std::vector<Vectors::Segment*> Path::get_segments() {
    dirty = true;
    std::vector<Vectors::Segment*> list;
    list.reserve(segments.size());
    for (auto& segment : segments) list.push_back(segment.get());
    return list;
}

// --- Building ---------------------------------------------------------------------------

namespace {

bool repeats_a_point(const std::vector<double>& points, size_t count, double x, double y) {
    for (size_t i = 0; i < count; i += 3)
        if (points[i] == x && points[i + 1] == y) return true;
    return false;
}

}  // namespace

void Path::add_point(std::vector<double>& points, double x, double y, int& nudge_counter) {
    if (repeats_a_point(points, points.size(), x, y)) {
        const float* offset = nudge_offsets[(nudge_counter / 2) & 7];
        x += offset[0];
        y += offset[1];
        nudge_counter = (nudge_counter + 2) % 16;
    }
    points.push_back(x);
    points.push_back(y);
    points.push_back(0.0);
}

void Path::nudge_last_point(std::vector<double>& points, int& nudge_counter) {
    if (points.empty()) return;
    const size_t last = points.size() - 3;
    if (!repeats_a_point(points, last, points[last], points[last + 1])) return;
    const float* offset = nudge_offsets[(nudge_counter / 2) & 7];
    points[last] += offset[0];
    points[last + 1] += offset[1];
    nudge_counter = (nudge_counter + 2) % 16;
}

vec3 Path::stroke_offset(const vec3& a, const vec3& b, float h) {
    const float len = std::sqrt((b.y - a.y) * (b.y - a.y) + (a.x - b.x) * (a.x - b.x));
    return vec3((b.y - a.y) / len * h, (a.x - b.x) / len * h, 0.0f);
}

float Path::joint_angle(const vec3& a, const vec3& b, const vec3& e) {
    const float ux = a.x - b.x, uy = a.y - b.y;
    const float vx = e.x - b.x, vy = e.y - b.y;
    const float dot = ux * vx + uy * vy;
    const float cross = ux * vy - uy * vx;
    if (dot == 0.0f && cross == 0.0f) return 0.0f;
    return std::atan2(cross, dot);
}

namespace {

vec3 point_at(const std::vector<double>& points, size_t i) {
    return vec3(static_cast<float>(points[i * 3]), static_cast<float>(points[i * 3 + 1]),
                static_cast<float>(points[i * 3 + 2]));
}

// An edge with a direction: its points differ in floats (and are numbers).
bool has_direction(const vec3& a, const vec3& b) {
    const float len = std::sqrt((b.y - a.y) * (b.y - a.y) + (a.x - b.x) * (a.x - b.x));
    return len > 0.0f && std::isfinite(len);
}

void append(std::vector<float>& out, const vec3& p) {
    out.push_back(p.x);
    out.push_back(p.y);
    out.push_back(p.z);
}

}  // namespace

void Path::build_outline(const std::vector<double>& points, const std::vector<int>& contour_starts, bool closed,
                         float stroke_width, std::vector<float>& vertices, std::vector<int>& starts) {
    vertices.clear();
    starts.clear();
    if (points.size() % 3 != 0)
        FATAL_ERROR("Stroke input vertices not divisible by 3, got " << points.size() << " verts.");
    const size_t n = points.size() / 3;
    const float h = stroke_width * 0.5f;
    const size_t contours = contour_starts.empty() && n > 0 ? 1 : contour_starts.size();

    for (size_t k = 0; k < contours; ++k) {
        const size_t first = k == 0 ? 0 : static_cast<size_t>(contour_starts[k]) / 3;
        const size_t end = k + 1 < contours ? static_cast<size_t>(contour_starts[k + 1]) / 3 : n;
        starts.push_back(static_cast<int>(vertices.size()));
        for (size_t i = first; i + 1 < end; ++i) {
            const vec3 a = point_at(points, i), b = point_at(points, i + 1);
            if (!has_direction(a, b)) continue;
            const vec3 o = stroke_offset(a, b, h);
            const vec3 l1 = a + o, r1 = a - o, l2 = b + o, r2 = b - o;
            append(vertices, l1);
            append(vertices, l2);
            append(vertices, r1);
            append(vertices, r1);
            append(vertices, l2);
            append(vertices, r2);

            size_t next;
            if (i + 2 < end)
                next = i + 2;
            else if (closed && n >= 2)
                next = first + 1;
            else
                continue;
            const vec3 e = point_at(points, next);
            if (!has_direction(b, e)) continue;
            const vec3 o2 = stroke_offset(b, e, h);
            const vec3 j = joint_angle(a, b, e) < 0.0f ? b + o2 : b - o2;
            append(vertices, l2);
            append(vertices, r2);
            append(vertices, j);
        }
    }
}

void Path::end_curve_before_close(const Vectors::Segment& last, std::vector<double>& points,
                                  const std::vector<int>& contour_starts, int& nudge_counter) {
    const int type = last.GetType();
    if (type != Vectors::SEGMENT_CUBIC && type != Vectors::SEGMENT_CUBIC_SMOOTH) return;
    if (points.empty()) return;
    // A flattened cubic stops at the midpoint of its last piece (whatever
    // follows goes on from there); the close must run from the curve's own
    // end, or a shape that closes along a straight edge gets a slanted one.
    // Back at the contour's start there is nothing to add: the close lands
    // there itself.
    const vec3& end = static_cast<const Vectors::SegmentCubic&>(last).end;
    const size_t first = contour_starts.empty() ? 0 : static_cast<size_t>(contour_starts.back());
    if (points[first] == end.x && points[first + 1] == end.y) return;
    add_point(points, end.x, end.y, nudge_counter);
}

bool Path::rebuild() {
    if (!dirty || segments.empty()) return false;
    if (segments.front()->GetType() != Vectors::SEGMENT_MOVE)
        segments.insert(segments.begin(), std::make_unique<Vectors::SegmentMove>(vec3(0.0f, 0.0f, 0.0f)));

    points.clear();
    contour_starts.clear();
    int nudge_counter = 0;
    for (size_t i = 0; i < segments.size(); ++i) {
        segments[i]->emit(points, contour_starts, nudge_counter);
        if (i + 1 < segments.size() && segments[i + 1]->GetType() == Vectors::SEGMENT_CLOSE)
            end_curve_before_close(*segments[i], points, contour_starts, nudge_counter);
    }

    if (stroke) {
        const bool closed = segments.back()->GetType() == Vectors::SEGMENT_CLOSE;
        build_outline(points, contour_starts, closed, stroke_width, stroke_vertices, stroke_starts);
    }
    if (fill) tessellate(points, contour_starts, fill_vertices, fill_starts);
    dirty = false;
    return true;
}

// --- Drawing ----------------------------------------------------------------------------

namespace {

void upload_to(GLuint& vbo, const std::vector<float>& vertices) {
    if (!vbo) glGenBuffers(1, &vbo);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(float)),
                 vertices.empty() ? nullptr : vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

// Every polygon of the fill and every piece of the outline is a triangle,
// so each list is one draw of separate triangles.
void draw_triangles(GLuint vbo, const vec3& colour, size_t numbers) {
    if (numbers == 0) return;
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glColor4f(colour.x, colour.y, colour.z, 1.0f);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(numbers / 3));
}

}  // namespace

void Path::upload() {
    if (stroke) upload_to(stroke_vbo, stroke_vertices);
    if (fill) upload_to(fill_vbo, fill_vertices);
}

void Path::draw() {
    if (segments.empty() || !visible) return;
    if (rebuild()) upload();
    // Client arrays read through a vertex-array object that is still bound
    // would take their vertices from it.
    glBindVertexArray(0);
    glEnableClientState(GL_VERTEX_ARRAY);
    if (fill) draw_triangles(fill_vbo, fill_colour, fill_vertices.size());
    if (stroke) draw_triangles(stroke_vbo, stroke_colour, stroke_vertices.size());
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}
