// The geometry of the smiley floor: 8 x 8 touching cubes of edge 4 in the
// plane y = 0 (centres at x = 4 * column, z = 4 * row), every face carrying
// the whole picture, each cube coloured from yellow at column 0, row 0 to
// cyan at the opposite corner. Rebuilt on the CPU every frame and drawn as
// one batch of quads.
#pragma once

#include <vector>

#include "scenes/vertex_streams.h"
#include "util/math/mat4.h"
#include "util/math/vector.h"

// Positions and colours (VertexStreams) plus, per vertex, the face normal,
// the texture coordinate and the tangent (the direction in which the first
// texture coordinate grows).
struct TexturedStreams : VertexStreams {
    std::vector<float> normals;    // 3 floats a vertex
    std::vector<float> texcoords;  // 2 floats a vertex
    std::vector<float> tangents;   // 3 floats a vertex

    void clear() {
        VertexStreams::clear();
        normals.clear();
        texcoords.clear();
        tangents.clear();
    }
};

constexpr int kFloorColumns = 8;
constexpr int kFloorRows = 8;
constexpr int kFloorVertexCount = kFloorColumns * kFloorRows * 6 * 4;

// Appends one cube of full extents `size` centred on the origin and moved by
// m (normals and tangents are not moved): six faces of four vertices, each
// wound counter-clockwise seen from outside, in the order bottom, front
// (+z), back, right (+x), left, top.
void add_textured_box(const vec3& size, const vec4& colour, const mat4& m, TexturedStreams& out);

// Appends the whole floor, row by row, column by column within a row.
void build_floor(TexturedStreams& out);
