// SGL models: one interleaved vertex array in a small file, read whole and
// kept on the CPU, with in-place transforms of its positions.
//
// The file, all values little-endian 32-bit:
//   0  vertex count  (signed, > 0)
//   4  vertex format (GL_V3F, GL_N3F_V3F or GL_T2F_N3F_V3F)
//   8  primitive     (the GL primitive mode the array is drawn as, > 0)
//   12 vertex data   count x stride bytes of floats; bytes after it are ignored
//
// A missing file ends the run. Any other bad file (too short, header values
// not above 0, another format, a primitive GL does not know, less vertex
// data than the header asks for, a value that is not a finite number) is
// refused with a log line that says why, and leaves an empty model that
// draws nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int32_t SGL_V3F = 0x2A21;
constexpr int32_t SGL_N3F_V3F = 0x2A25;
constexpr int32_t SGL_T2F_N3F_V3F = 0x2A2B;
constexpr size_t kSglHeaderBytes = 12;

// Floats per vertex and where in a vertex its position starts.
struct SglLayout {
    int32_t stride;    // floats
    int32_t position;  // float offset of x
};

// The layout of a format; null for any other.
const SglLayout* sgl_layout(int32_t format);

struct SglContents {
    int32_t vertex_count = 0;
    int32_t format = 0;
    int32_t primitive = 0;
    std::vector<float> data;  // vertex_count x stride floats when accepted
};

// Reads a file's bytes into `out`. Returns "" when the file is accepted;
// otherwise why it is refused, with `out` holding the header values as read
// when the header itself was readable and its vertex data empty.
std::string parse_sgl(const uint8_t* bytes, size_t length, SglContents& out);

class SglModel {
public:
    SglModel() = default;
    virtual ~SglModel() = default;

    // Reads the file through the data layer ("Failed to load file " + name
    // when it is absent). A refused file leaves an empty model (see above).
    void load(const char* name);
    // Takes contents already read (as parse_sgl accepted them).
    void assign(SglContents contents);
    virtual void clear();
    // Hands the array to GL as an interleaved array of its format and draws
    // every vertex as its primitive; nothing without data.
    virtual void draw();

    void translate(float x, float y, float z);
    void scale(float factor);
    // Centres the bounding box on the origin and scales by 2 / extent, the
    // extent being the largest of |max| + |min| over the axes. A model of
    // one point (extent 0), or one so small that 2 / extent overflows, is
    // only centred.
    void normalize();
    // The midpoint of the bounding box; left untouched without data.
    void get_center(float& x, float& y, float& z) const;
    // Per axis |max| + |min| of the positions (the span only when the box
    // holds the origin); 0 without data.
    void get_size(float& x, float& y, float& z) const;

    bool empty() const { return data.empty(); }
    int32_t get_vertex_count() const { return vertex_count; }
    int32_t get_format() const { return format; }
    int32_t get_primitive() const { return primitive; }
    const std::vector<float>& get_data() const { return data; }
    // Why the last load refused its file; "" after a good one.
    const std::string& get_refusal() const { return refusal; }

private:
    struct Box {
        float min[3], max[3];
    };
    Box bounds() const;

    std::vector<float> data;
    int32_t format = 0;
    int32_t vertex_count = 0;
    int32_t primitive = 0;
    const SglLayout* layout = nullptr;  // null: no data, the operations do nothing
    std::string refusal;
};
