// The geometry that both glow-shape scenes draw: four rings of eight square
// frames standing around the vertical axis. Each frame is turned in its own
// plane by its ring's turn and doubled by a protruding copy whose walls
// extend it sideways. Every piece (a frame, a protrusion) is coloured with a
// vertical gradient of its own: colour 2 at its lowest point, colour 1 at its
// highest. Triangles, 96 vertices a square, 3072 in all.
#pragma once

#include <cstddef>

#include "scenes/vertex_streams.h"
#include "util/math/mat4.h"
#include "util/math/vector.h"

struct GlowRing {
    vec3 centre;
    float radius = 0.0f;
    float turn = 0.0f;  // 0..1: a square is turned by turn x 180 degrees in its plane
};

struct GlowShapeSet {
    GlowRing rings[4];
    float size = 2.0f;        // half side s of every square
    float border = 0.2f;      // border width b of every frame
    float protrusion = 0.0f;  // protrusion length p
    vec4 colour1, colour2;                         // of the frames
    vec4 protrusion_colour1, protrusion_colour2;   // of the protrusions
};

constexpr int kGlowSquaresPerRing = 8;
constexpr size_t kGlowVerticesPerSquare = 24 + 72;  // frame + protrusion

// Appends the four rings in order.
void build_glow_shapes(const GlowShapeSet& set, VertexStreams& out);

// One ring: eight squares at 45-degree steps around the vertical axis
// through the ring's centre, each a frame and a protrusion.
void add_glow_ring(const GlowShapeSet& set, const GlowRing& ring, VertexStreams& out);

// A flat square frame of half side s and border b in the plane z = 0 of m:
// eight triangles.
void add_glow_frame(float s, float b, const mat4& m, const vec4& colour1, const vec4& colour2,
                    VertexStreams& out);

// The protruding copy: m is first moved by (0, 0, p) (the caller's matrix
// keeps the move); then per side, left, bottom, right, top, the side's two
// frame triangles and two triangles each of its outer and inner wall, which
// reach back to z = -p. 24 triangles.
void add_glow_protrusion(float s, float b, mat4& m, float p, const vec4& colour1,
                         const vec4& colour2, VertexStreams& out);

// Gives the vertices from `first` on the gradient between colour 2 at their
// lowest y and colour 1 at their highest; all of them colour 2 when they are
// flat in y.
void colour_by_height(size_t first, const vec4& colour1, const vec4& colour2, VertexStreams& out);
