#include "util/objects3d/vertexweld.h"

#include <cstring>
#include <string>
#include <unordered_map>

void VertexWeld::weld(const std::vector<const std::vector<float>*>& lists, const std::vector<int>& strides,
                      const std::vector<uint32_t>& flat_indices) {
    attributes.assign(lists.size(), {});
    indices.clear();
    size_t count = lists.empty() ? 0 : SIZE_MAX;
    size_t floats = 0;
    for (size_t a = 0; a < lists.size(); ++a) {
        const size_t stride = strides[a] > 0 ? static_cast<size_t>(strides[a]) : 1;
        const size_t n = lists[a]->size() / stride;
        if (n < count) count = n;
        floats += stride;
    }

    // Vertex v of the flat lists becomes distinct vertex remap[v].
    std::vector<uint32_t> remap(count);
    std::unordered_map<std::string, uint32_t> seen;
    seen.reserve(count);
    std::string key(floats * sizeof(float), '\0');
    uint32_t distinct = 0;
    for (size_t v = 0; v < count; ++v) {
        size_t at = 0;
        for (size_t a = 0; a < lists.size(); ++a) {
            const size_t stride = static_cast<size_t>(strides[a]);
            std::memcpy(&key[at], lists[a]->data() + v * stride, stride * sizeof(float));
            at += stride * sizeof(float);
        }
        auto found = seen.emplace(key, distinct);
        if (found.second) {
            for (size_t a = 0; a < lists.size(); ++a) {
                const size_t stride = static_cast<size_t>(strides[a]);
                const float* from = lists[a]->data() + v * stride;
                attributes[a].insert(attributes[a].end(), from, from + stride);
            }
            ++distinct;
        }
        remap[v] = found.first->second;
    }

    indices.reserve(flat_indices.size());
    for (uint32_t i : flat_indices)
        indices.push_back(i < count ? remap[i] : static_cast<uint32_t>(distinct + (i - count)));
}
