#include "scenes/scene_jqboxes/box_grid.h"

#include <algorithm>
#include <cmath>

#include "util/math/saturate.h"

int box_grid_count(float count_track) {
    return std::clamp(saturate_ceil(count_track), 0, kMaxBoxGridCount);
}

float box_grid_blend(int i, int j, int columns, int rows) {
    int span = columns + rows - 2;
    if (span <= 0) return 0.0f;
    return static_cast<float>(i + j) / static_cast<float>(span);
}

void build_box_grid(const BoxGrid& grid, VertexStreams& out) {
    for (int j = 0; j < grid.rows; ++j) {
        for (int i = 0; i < grid.columns; ++i) {
            float t = box_grid_blend(i, j, grid.columns, grid.rows);
            vec3 size = lerp(grid.size1, grid.size2, t);
            vec4 colour = lerp(grid.colour1, grid.colour2, t);
            mat4 m;
            m.translate(static_cast<float>(i) * (size.x + grid.width_space),
                        static_cast<float>(j) * (size.y + grid.height_space), 0.0f);
            add_box(size, colour, m, out);
        }
    }
}

void add_box(const vec3& size, const vec4& colour, const mat4& m, VertexStreams& out) {
    // Corners as signs of the half extents, four a face: bottom, front, back,
    // right, left, top.
    static const signed char corners[24][3] = {
        {-1, -1, -1}, {1, -1, -1}, {1, -1, 1},  {-1, -1, 1},   // y = -hy
        {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},   {-1, 1, 1},    // z = +hz
        {-1, -1, -1}, {-1, 1, -1}, {1, 1, -1},  {1, -1, -1},   // z = -hz
        {1, -1, -1},  {1, 1, -1},  {1, 1, 1},   {1, -1, 1},    // x = +hx
        {-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1},  {-1, 1, -1},   // x = -hx
        {-1, 1, -1},  {-1, 1, 1},  {1, 1, 1},   {1, 1, -1},    // y = +hy
    };
    vec3 half = size * 0.5f;
    for (const auto& c : corners) {
        vec3 p(c[0] * half.x, c[1] * half.y, c[2] * half.z);
        m.transform_point(p);
        out.add_position(p);
    }
    for (int k = 0; k < 24; ++k) out.add_colour(colour);
}
