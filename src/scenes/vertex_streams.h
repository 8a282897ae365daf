// Positions and colours of geometry rebuilt on the CPU every frame: x, y, z
// and r, g, b, a per vertex, in two arrays that keep their storage between
// frames.
#pragma once

#include <cstddef>
#include <vector>

#include "util/math/vector.h"

struct VertexStreams {
    std::vector<float> positions;  // 3 floats a vertex
    std::vector<float> colours;    // 4 floats a vertex

    void clear() {
        positions.clear();
        colours.clear();
    }
    size_t vertex_count() const { return positions.size() / 3; }

    void add_position(const vec3& p) { positions.insert(positions.end(), {p.x, p.y, p.z}); }
    void add_colour(const vec4& c) { colours.insert(colours.end(), {c.r, c.g, c.b, c.a}); }
    vec3 position(size_t vertex) const {
        return vec3(positions[vertex * 3], positions[vertex * 3 + 1], positions[vertex * 3 + 2]);
    }
    vec4 colour(size_t vertex) const {
        return vec4(colours[vertex * 4], colours[vertex * 4 + 1], colours[vertex * 4 + 2],
                    colours[vertex * 4 + 3]);
    }
};
