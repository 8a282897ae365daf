#include "effects/skydome/model_sgl.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "system/fatal.h"
#include "util/data/data.h"

namespace {

const SglLayout kV3F = {3, 0};
const SglLayout kN3FV3F = {6, 3};
const SglLayout kT2FN3FV3F = {8, 5};

// The last primitive mode GL draws without tessellation shaders.
constexpr int32_t kLastPrimitive = GL_TRIANGLE_STRIP_ADJACENCY;

int32_t read_i32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

std::string hex(int32_t value) {
    std::ostringstream s;
    s << "0x" << std::hex << std::uppercase << static_cast<uint32_t>(value);
    return s.str();
}

}  // namespace

const SglLayout* sgl_layout(int32_t format) {
    switch (format) {
        case SGL_V3F: return &kV3F;
        case SGL_N3F_V3F: return &kN3FV3F;
        case SGL_T2F_N3F_V3F: return &kT2FN3FV3F;
        default: return nullptr;
    }
}

std::string parse_sgl(const uint8_t* bytes, size_t length, SglContents& out) {
    out = SglContents();
    std::ostringstream why;
    if (length < kSglHeaderBytes) {
        why << "it is " << length << " bytes long, shorter than the 12-byte header";
        return why.str();
    }
    out.vertex_count = read_i32(bytes);
    out.format = read_i32(bytes + 4);
    out.primitive = read_i32(bytes + 8);
    if (out.vertex_count <= 0 || out.format <= 0 || out.primitive <= 0) {
        why << "its header holds vertex count " << out.vertex_count << ", format " << out.format
            << " and primitive " << out.primitive << ", and all three must be above 0";
        return why.str();
    }
    const SglLayout* layout = sgl_layout(out.format);
    if (!layout) return "its vertex format " + hex(out.format) + " is not GL_V3F, GL_N3F_V3F or GL_T2F_N3F_V3F";
    if (out.primitive > kLastPrimitive) return "its primitive " + hex(out.primitive) + " is not a GL primitive mode";

    // In 64 bits: count x stride can pass 2^31 and wrap in 32.
    const uint64_t floats = static_cast<uint64_t>(out.vertex_count) * static_cast<uint64_t>(layout->stride);
    const uint64_t needed = floats * sizeof(float);
    if (needed > length - kSglHeaderBytes) {
        why << "its header asks for " << out.vertex_count << " vertices of " << layout->stride * 4
            << " bytes (" << needed << " bytes) but it holds " << length - kSglHeaderBytes
            << " bytes of vertex data";
        return why.str();
    }
    out.data.resize(static_cast<size_t>(floats));
    std::memcpy(out.data.data(), bytes + kSglHeaderBytes, static_cast<size_t>(needed));
    for (size_t i = 0; i < out.data.size(); ++i) {
        if (!std::isfinite(out.data[i])) {
            why << "value " << i % layout->stride << " of vertex " << i / layout->stride
                << " is not a finite number";
            out.data.clear();
            return why.str();
        }
    }
    return "";
}

void SglModel::load(const char* name) {
    clear();
    int32_t length = 0;
    char* bytes = DataFile::load(name, "rb", &length, false, false);
    if (!bytes) FATAL_ERROR("Failed to load file " << name);
    SglContents contents;
    std::string why = parse_sgl(reinterpret_cast<const uint8_t*>(bytes), static_cast<size_t>(length), contents);
    std::free(bytes);
    if (!why.empty()) {
        // A header whose values are not above 0 or whose format is another
        // stays as read; a refused body leaves nothing of the file.
        clear();
        const bool header_refused = contents.vertex_count <= 0 || contents.format <= 0 ||
                                    contents.primitive <= 0 || !sgl_layout(contents.format);
        if (header_refused) {
            vertex_count = contents.vertex_count;
            format = contents.format;
            primitive = contents.primitive;
        }
        refusal = why;
        LOG_INFO("SGL model " << name << " refused: " << why << "; it draws nothing");
        return;
    }
    assign(std::move(contents));
}

void SglModel::assign(SglContents contents) {
    clear();
    layout = sgl_layout(contents.format);
    if (!layout || contents.data.size() != static_cast<size_t>(contents.vertex_count) * layout->stride ||
        contents.vertex_count <= 0) {
        layout = nullptr;
        return;
    }
    vertex_count = contents.vertex_count;
    format = contents.format;
    primitive = contents.primitive;
    data = std::move(contents.data);
}

void SglModel::clear() {
    data.clear();
    data.shrink_to_fit();
    format = vertex_count = primitive = 0;
    layout = nullptr;
    refusal.clear();
}

void SglModel::draw() {
    if (!layout || data.empty()) return;
    // A vertex array object left bound would feed the interleaved arrays
    // from its own buffers instead.
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glInterleavedArrays(static_cast<GLenum>(format), 0, data.data());
    glDrawArrays(static_cast<GLenum>(primitive), 0, vertex_count);
    glPopClientAttrib();
}

SglModel::Box SglModel::bounds() const {
    Box box;
    const float* first = data.data() + layout->position;
    for (int a = 0; a < 3; ++a) box.min[a] = box.max[a] = first[a];
    for (size_t i = layout->position; i < data.size(); i += layout->stride)
        for (int a = 0; a < 3; ++a) {
            box.min[a] = std::min(box.min[a], data[i + a]);
            box.max[a] = std::max(box.max[a], data[i + a]);
        }
    return box;
}

void SglModel::translate(float x, float y, float z) {
    if (!layout) return;
    for (size_t i = layout->position; i < data.size(); i += layout->stride) {
        data[i] += x;
        data[i + 1] += y;
        data[i + 2] += z;
    }
}

void SglModel::scale(float factor) {
    if (!layout) return;
    for (size_t i = layout->position; i < data.size(); i += layout->stride)
        for (int a = 0; a < 3; ++a) data[i + a] *= factor;
}

void SglModel::normalize() {
    if (!layout) return;
    const Box box = bounds();
    float centre[3];
    float extent = 0.0f;
    for (int a = 0; a < 3; ++a) {
        // Halves first: max + min of two huge values would overflow.
        centre[a] = box.max[a] * 0.5f + box.min[a] * 0.5f;
        extent = std::max(extent, std::fabs(box.max[a]) + std::fabs(box.min[a]));
    }
    // One point, or every position at the origin, or a box so small that
    // 2 / extent overflows: nothing to scale by.
    float factor = extent > 0.0f ? 2.0f / extent : 1.0f;
    if (!std::isfinite(factor)) factor = 1.0f;
    for (size_t i = layout->position; i < data.size(); i += layout->stride)
        for (int a = 0; a < 3; ++a) data[i + a] = (data[i + a] - centre[a]) * factor;
}

void SglModel::get_center(float& x, float& y, float& z) const {
    if (!layout) return;
    const Box box = bounds();
    x = (box.max[0] + box.min[0]) / 2.0f;
    y = (box.max[1] + box.min[1]) / 2.0f;
    z = (box.max[2] + box.min[2]) / 2.0f;
}

void SglModel::get_size(float& x, float& y, float& z) const {
    x = y = z = 0.0f;
    if (!layout) return;
    const Box box = bounds();
    x = std::fabs(box.max[0]) + std::fabs(box.min[0]);
    y = std::fabs(box.max[1]) + std::fabs(box.min[1]);
    z = std::fabs(box.max[2]) + std::fabs(box.min[2]);
}
