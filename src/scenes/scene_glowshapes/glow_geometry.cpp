#include "scenes/scene_glowshapes/glow_geometry.h"

namespace {

struct Corner {
    float x, y;
};

// The corners of a frame of half side s and border b: outer ones o*, inner
// ones i*, by side (l, r, b, t).
struct FrameCorners {
    Corner o_lb, o_lt, o_rb, o_rt;
    Corner i_lb, i_lt, i_rb, i_rt;

    FrameCorners(float s, float b)
        : o_lb{-s, -s}, o_lt{-s, s}, o_rb{s, -s}, o_rt{s, s},
          i_lb{-s + b, -s + b}, i_lt{-s + b, s - b}, i_rb{s - b, -s + b}, i_rt{s - b, s - b} {}
};

void add_point(const mat4& m, float x, float y, float z, VertexStreams& out) {
    vec3 p(x, y, z);
    m.transform_point(p);
    out.add_position(p);
}

void add_triangle(const mat4& m, Corner a, Corner b, Corner c, VertexStreams& out) {
    add_point(m, a.x, a.y, 0.0f, out);
    add_point(m, b.x, b.y, 0.0f, out);
    add_point(m, c.x, c.y, 0.0f, out);
}

// The two triangles of one side of the frame; side 0 left, 1 bottom, 2
// right, 3 top.
void add_frame_side(const FrameCorners& f, int side, const mat4& m, VertexStreams& out) {
    switch (side) {
        case 0:
            add_triangle(m, f.o_lb, f.i_lt, f.o_lt, out);
            add_triangle(m, f.o_lb, f.i_lb, f.i_lt, out);
            break;
        case 1:
            add_triangle(m, f.o_lb, f.o_rb, f.i_rb, out);
            add_triangle(m, f.o_lb, f.i_rb, f.i_lb, out);
            break;
        case 2:
            add_triangle(m, f.o_rb, f.o_rt, f.i_rt, out);
            add_triangle(m, f.o_rb, f.i_rt, f.i_rb, out);
            break;
        default:
            add_triangle(m, f.o_lt, f.i_rt, f.o_rt, out);
            add_triangle(m, f.o_lt, f.i_lt, f.i_rt, out);
            break;
    }
}

// A wall along the edge a -> b, from z = 0 back to z = -p.
void add_wall(const mat4& m, Corner a, Corner b, float p, VertexStreams& out) {
    add_point(m, a.x, a.y, 0.0f, out);
    add_point(m, b.x, b.y, 0.0f, out);
    add_point(m, b.x, b.y, -p, out);
    add_point(m, a.x, a.y, 0.0f, out);
    add_point(m, b.x, b.y, -p, out);
    add_point(m, a.x, a.y, -p, out);
}

}  // namespace

void build_glow_shapes(const GlowShapeSet& set, VertexStreams& out) {
    for (const GlowRing& ring : set.rings) add_glow_ring(set, ring, out);
}

void add_glow_ring(const GlowShapeSet& set, const GlowRing& ring, VertexStreams& out) {
    for (int k = 0; k < kGlowSquaresPerRing; ++k) {
        mat4 m;
        m.translate(ring.centre);
        m.rotate(static_cast<float>(k) * 45.0f, 0.0f, 1.0f, 0.0f);
        m.translate(ring.radius, 0.0f, 0.0f);
        m.rotate(ring.turn * 180.0f, 0.0f, 0.0f, 1.0f);
        add_glow_frame(set.size, set.border, m, set.colour1, set.colour2, out);
        add_glow_protrusion(set.size, set.border, m, set.protrusion, set.protrusion_colour1,
                            set.protrusion_colour2, out);
    }
}

void add_glow_frame(float s, float b, const mat4& m, const vec4& colour1, const vec4& colour2,
                    VertexStreams& out) {
    size_t first = out.vertex_count();
    FrameCorners f(s, b);
    for (int side = 0; side < 4; ++side) add_frame_side(f, side, m, out);
    colour_by_height(first, colour1, colour2, out);
}

void add_glow_protrusion(float s, float b, mat4& m, float p, const vec4& colour1,
                         const vec4& colour2, VertexStreams& out) {
    m.translate(0.0f, 0.0f, p);
    size_t first = out.vertex_count();
    FrameCorners f(s, b);
    // Outer and inner wall edges by side: left, bottom, right, top.
    const Corner walls[4][4] = {
        {f.o_lb, f.o_lt, f.i_lb, f.i_lt},
        {f.o_lb, f.o_rb, f.i_lb, f.i_rb},
        {f.o_rb, f.o_rt, f.i_rb, f.i_rt},
        {f.o_lt, f.o_rt, f.i_lt, f.i_rt},
    };
    for (int side = 0; side < 4; ++side) {
        add_frame_side(f, side, m, out);
        add_wall(m, walls[side][0], walls[side][1], p, out);
        add_wall(m, walls[side][2], walls[side][3], p, out);
    }
    colour_by_height(first, colour1, colour2, out);
}

void colour_by_height(size_t first, const vec4& colour1, const vec4& colour2, VertexStreams& out) {
    size_t end = out.vertex_count();
    float ymin = 99999.0f, ymax = -99999.0f;
    for (size_t v = first; v < end; ++v) {
        float y = out.positions[v * 3 + 1];
        if (y < ymin) ymin = y;
        if (y > ymax) ymax = y;
    }
    float span = ymax - ymin;
    for (size_t v = first; v < end; ++v) {
        // A piece that is flat in y has no gradient (and 0 / 0 must not
        // reach the colours).
        float t = span > 0.0f ? (out.positions[v * 3 + 1] - ymin) / span : 0.0f;
        out.add_colour(lerp(colour2, colour1, t));
    }
}
