// Shares the vertices of a triangle list: a mesh written out triangle by
// triangle repeats every vertex for each triangle that meets it, and the
// renderer's vertex stage would run once per repeat. `weld` keeps each
// distinct vertex (all its attributes equal, bit for bit) once, in order of
// first use, and rewrites the index list to pick them, so the same
// triangles come out of fewer vertices.
#pragma once

#include <cstdint>
#include <vector>

struct VertexWeld {
    // Per attribute, the distinct vertices' values (`strides` floats each).
    std::vector<std::vector<float>> attributes;
    // The index list, rewritten to the distinct vertices.
    std::vector<uint32_t> indices;

    // `lists` hold one attribute each, `strides` floats per vertex, all for
    // the same number of vertices (the shortest list counts). An index past
    // the vertices stays past the distinct ones.
    void weld(const std::vector<const std::vector<float>*>& lists, const std::vector<int>& strides,
              const std::vector<uint32_t>& flat_indices);
};
