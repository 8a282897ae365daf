#include "util/objects3d/explode.h"

#include <cstddef>

namespace {

// Where the bounding box starts, as the graph's bounds do.
constexpr float kUnbounded = 999999.0f;

vec3 position(const std::vector<float>& positions, int index) {
    const size_t at = 3 * static_cast<size_t>(index);
    return vec3(positions[at], positions[at + 1], positions[at + 2]);
}

}  // namespace

vec3 explode_triangles(const std::vector<int>& indices, const std::vector<float>& positions, float factor,
                       std::vector<float>& flat) {
    vec3 min(kUnbounded, kUnbounded, kUnbounded), max(-kUnbounded, -kUnbounded, -kUnbounded);
    for (size_t at = 0; at + 2 < positions.size(); at += 3) {
        for (int i = 0; i < 3; ++i) {
            if (positions[at + i] < min[i]) min[i] = positions[at + i];
            if (positions[at + i] > max[i]) max[i] = positions[at + i];
        }
    }
    const vec3 centre = (min + max) * 0.5f;

    flat.resize(3 * indices.size());
    for (size_t t = 0; t + 2 < indices.size(); t += 3) {
        const vec3 offset = (position(positions, indices[t]) - centre) * factor;
        for (size_t k = t; k < t + 3; ++k) {
            const vec3 p = position(positions, indices[k]) + offset;
            for (int i = 0; i < 3; ++i) flat[3 * k + i] = p[i];
        }
    }
    return centre;
}
