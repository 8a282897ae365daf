// The geometry of the box grid: columns x rows translucent boxes whose size
// and colour blend from the first corner of the grid (column 0, row 0) to
// the opposite one. The grid starts at the origin and grows toward +x and +y;
// each box is placed by its own blended size, so the lattice spreads as the
// boxes grow.
#pragma once

#include "scenes/vertex_streams.h"
#include "util/math/mat4.h"
#include "util/math/vector.h"

struct BoxGrid {
    vec4 colour1, colour2;  // red, green, blue, alpha at the two corners
    vec3 size1, size2;      // full extents along x, y, z at the two corners
    float width_space = 0.0f;   // gap between columns
    float height_space = 0.0f;  // gap between rows
    int columns = 0;
    int rows = 0;
};

// The most columns or rows a grid has, so a wild count track cannot ask for
// billions of boxes.
constexpr int kMaxBoxGridCount = 256;

// The number of columns or rows for a count track: its ceiling, 0 for a
// value of 0 or below (and NaN), at most kMaxBoxGridCount.
int box_grid_count(float count_track);

// The blend factor of column i, row j: 0 at the first corner, 1 at the
// opposite one. A grid of one box has no opposite corner; its box gets 0.
float box_grid_blend(int i, int j, int columns, int rows);

// Appends every box of the grid, row by row (24 vertices a box).
void build_box_grid(const BoxGrid& grid, VertexStreams& out);

// Appends one box of full extents `size` centred on the origin and moved by
// m: six quads (24 vertices), each vertex with `colour`.
void add_box(const vec3& size, const vec4& colour, const mat4& m, VertexStreams& out);
