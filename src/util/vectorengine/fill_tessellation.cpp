#include "util/vectorengine/fill_tessellation.h"

#include <GL/glu.h>

#include <array>
#include <cmath>
#include <deque>

#include "system/fatal.h"

namespace {

// What the callbacks of one tessellation write to. The coordinates handed to
// the tessellator, and the vertices it makes where edges cross, live in a
// deque: their addresses must stay put until the polygon ends.
struct Run {
    std::deque<std::array<GLdouble, 3>> vertices;
    std::vector<float>* out = nullptr;
    std::vector<int>* starts = nullptr;
    bool failed = false;
};

void GLAPIENTRY on_begin(GLenum, void*) {}

void GLAPIENTRY on_vertex(void* vertex, void* data) {
    Run& run = *static_cast<Run*>(data);
    const auto& v = *static_cast<const std::array<GLdouble, 3>*>(vertex);
    // With the edge-flag callback set, everything comes as separate
    // triangles: every third vertex starts one.
    if (run.out->size() % 9 == 0) run.starts->push_back(static_cast<int>(run.out->size()));
    run.out->push_back(static_cast<float>(v[0]));
    run.out->push_back(static_cast<float>(v[1]));
    run.out->push_back(0.0f);
}

void GLAPIENTRY on_end(void*) {}

// Its presence alone makes the tessellator emit plain triangles instead of
// fans and strips.
void GLAPIENTRY on_edge_flag(GLboolean, void*) {}

// A vertex where edges cross; without this callback self-crossing contours
// are refused.
void GLAPIENTRY on_combine(GLdouble coords[3], void* [4], GLfloat [4], void** out, void* data) {
    Run& run = *static_cast<Run*>(data);
    run.vertices.push_back({static_cast<GLdouble>(static_cast<float>(coords[0])),
                            static_cast<GLdouble>(static_cast<float>(coords[1])), 0.0});
    *out = run.vertices.back().data();
}

void GLAPIENTRY on_error(GLenum, void* data) { static_cast<Run*>(data)->failed = true; }

GLUtesselator* tessellator() {
    static GLUtesselator* tess = nullptr;
    if (tess) return tess;
    tess = gluNewTess();
    FATAL_ASSERT(tess);
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
    // The drawing plane is fixed; the tessellator need not guess it.
    gluTessNormal(tess, 0.0, 0.0, 1.0);
    gluTessCallback(tess, GLU_TESS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(on_begin));
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(on_vertex));
    gluTessCallback(tess, GLU_TESS_END_DATA, reinterpret_cast<_GLUfuncptr>(on_end));
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<_GLUfuncptr>(on_edge_flag));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(on_combine));
    gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(on_error));
    return tess;
}

}  // namespace

void tessellate(const std::vector<double>& points, const std::vector<int>& contour_starts,
                std::vector<float>& fill_vertices, std::vector<int>& fill_starts) {
    fill_vertices.clear();
    fill_starts.clear();
    GLUtesselator* tess = tessellator();
    Run run;
    run.out = &fill_vertices;
    run.starts = &fill_starts;

    // Checked before the tessellator starts, so that a failure leaves it idle.
    auto contour_end = [&](size_t c) {
        return c + 1 < contour_starts.size() ? static_cast<size_t>(contour_starts[c + 1]) : points.size();
    };
    for (size_t c = 0; c < contour_starts.size(); ++c) {
        const size_t begin = static_cast<size_t>(contour_starts[c]);
        const size_t end = contour_end(c);
        FATAL_ASSERT(contour_starts[c] >= 0 && begin <= end && end <= points.size());
        const size_t num_verts = end - begin;
        if (0 != (num_verts % 3)) FATAL_ERROR("Failed assert 0 == ( num_verts % 3 )");
    }

    // The tessellator's sweep compares coordinates; a point that is not a
    // finite number has no place in it, and the fill stays empty.
    for (double v : points)
        if (!std::isfinite(static_cast<float>(v))) return;

    gluTessBeginPolygon(tess, &run);
    for (size_t c = 0; c < contour_starts.size(); ++c) {
        gluTessBeginContour(tess);
        for (size_t i = static_cast<size_t>(contour_starts[c]); i < contour_end(c); i += 3) {
            // Taken as floats, as the flattening made them: two points a
            // hair apart in doubles may be one point here.
            run.vertices.push_back({static_cast<GLdouble>(static_cast<float>(points[i])),
                                    static_cast<GLdouble>(static_cast<float>(points[i + 1])), 0.0});
            gluTessVertex(tess, run.vertices.back().data(), run.vertices.back().data());
        }
        gluTessEndContour(tess);
    }
    gluTessEndPolygon(tess);

    if (run.failed) {
        fill_vertices.clear();
        fill_starts.clear();
    }
}
