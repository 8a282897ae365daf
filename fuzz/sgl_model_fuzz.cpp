// SGL model files from arbitrary bytes: the reader either refuses them with
// a reason or gives exactly count x stride finite floats, which the model's
// transforms then walk without reading outside the array. Normalising an
// accepted model keeps every position finite, within -1..1 along its
// largest axis.
//
// Input: the file's bytes.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "effects/skydome/model_sgl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SglContents contents;
    const std::string why = parse_sgl(data, size, contents);
    if (!why.empty()) {
        if (!contents.data.empty()) std::abort();
        return 0;
    }
    const SglLayout* layout = sgl_layout(contents.format);
    if (!layout || contents.vertex_count <= 0 || contents.primitive <= 0) std::abort();
    if (contents.data.size() != static_cast<size_t>(contents.vertex_count) * layout->stride) std::abort();
    if (kSglHeaderBytes + contents.data.size() * sizeof(float) > size) std::abort();

    SglModel model;
    model.assign(std::move(contents));
    if (model.empty()) std::abort();
    float x = 0, y = 0, z = 0;
    model.get_size(x, y, z);
    model.get_center(x, y, z);
    model.normalize();
    const std::vector<float>& v = model.get_data();
    for (size_t i = layout->position; i < v.size(); i += layout->stride)
        for (int a = 0; a < 3; ++a)
            if (!std::isfinite(v[i + a]) || std::fabs(v[i + a]) > 1.0001f) std::abort();
    model.translate(1.0f, -2.0f, 0.5f);
    model.scale(0.25f);
    model.clear();
    if (!model.empty() || model.get_vertex_count() != 0) std::abort();
    return 0;
}
