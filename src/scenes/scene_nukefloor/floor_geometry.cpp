#include "scenes/scene_nukefloor/floor_geometry.h"

#include "scenes/scene_jqboxes/box_grid.h"

namespace {

// Per face, in the corner order of add_box: the normal, the tangent and the
// texture coordinates of its four corners.
struct FaceFrame {
    float normal[3];
    float tangent[3];
    float uv[4][2];
};

constexpr FaceFrame kFaces[6] = {
    {{0, -1, 0}, {-1, 0, 0}, {{1, 1}, {0, 1}, {0, 0}, {1, 0}}},  // bottom
    {{0, 0, 1}, {1, 0, 0}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}},    // front
    {{0, 0, -1}, {-1, 0, 0}, {{1, 0}, {1, 1}, {0, 1}, {0, 0}}},  // back
    {{1, 0, 0}, {0, 0, -1}, {{1, 0}, {1, 1}, {0, 1}, {0, 0}}},   // right
    {{-1, 0, 0}, {0, 0, 1}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}},   // left
    {{0, 1, 0}, {1, 0, 0}, {{0, 1}, {0, 0}, {1, 0}, {1, 1}}},    // top
};

}  // namespace

void add_textured_box(const vec3& size, const vec4& colour, const mat4& m, TexturedStreams& out) {
    // Positions and colours are the plain box's; the faces add the rest.
    add_box(size, colour, m, out);
    for (const FaceFrame& face : kFaces) {
        for (int k = 0; k < 4; ++k) {
            out.normals.insert(out.normals.end(), face.normal, face.normal + 3);
            out.tangents.insert(out.tangents.end(), face.tangent, face.tangent + 3);
            out.texcoords.insert(out.texcoords.end(), face.uv[k], face.uv[k] + 2);
        }
    }
}

void build_floor(TexturedStreams& out) {
    const vec4 colour_a(1, 1, 0, 1), colour_b(0, 1, 1, 1);
    const vec3 size_a(4, 4, 4), size_b(4, 4, 4);
    const float gap_x = 0.0f, gap_z = 0.0f;
    for (int row = 0; row < kFloorRows; ++row) {
        for (int column = 0; column < kFloorColumns; ++column) {
            const float t = box_grid_blend(column, row, kFloorColumns, kFloorRows);
            const vec3 size = lerp(size_a, size_b, t);
            mat4 m;
            // Rows step along z by the cube's y size: equal sizes make that
            // the cube's depth, so neighbours touch.
            m.translate(static_cast<float>(column) * (size.x + gap_x), 0.0f,
                        static_cast<float>(row) * (size.y + gap_z));
            add_textured_box(size, lerp(colour_a, colour_b, t), m, out);
        }
    }
}
