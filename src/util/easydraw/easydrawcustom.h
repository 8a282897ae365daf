// A vertex-array object with up to VERTEX_ATTRIB_MAX float attribute arrays,
// optional 32-bit indices and optional per-instance data (vectors or one 4x4
// matrix per instance). Slot numbers are attribute locations: position 0,
// normal 1, texture coordinate 2, tangent 3; callers use higher slots for
// their own data (per-vertex colours at 4, instance matrices at 8..11).
//
// Every setter uploads at once; the vertex-array layout is specified again
// only when the layout of a slot changed, so redrawing costs one bind and one
// draw call.
#pragma once

#include <GL/glew.h>

#include <cstdint>

constexpr uint32_t VERTEX_ATTRIB_MAX = 16;

struct VertexAttribute {
    const float* data = nullptr;  // the caller's array as last given (copied into vbo)
    uint32_t stride = 0;          // floats per element, 1..4
    uint32_t count = 0;           // floats in the array
    GLuint vbo = 0;               // 0 until the slot is first set
    uint32_t divisor = 0;         // 0 per vertex, 1 per instance
    uint32_t locations = 1;       // consecutive locations fed: 1, or 4 for a matrix
};

class EasyDrawObject {
public:
    EasyDrawObject() = default;

    // `count` floats of `stride` components each, per vertex (divisor 0) or
    // per instance (divisor 1).
    void set_attribute(uint32_t index, uint32_t stride, uint32_t count, const float* data,
                       uint32_t divisor);
    // One column-major 4x4 matrix per instance, fed to locations
    // index..index+3.
    void set_instanced_matrices(uint32_t index, uint32_t count, const float* data);
    // With count 0 the object draws without indices.
    void set_indices(uint32_t count, const uint32_t* data);

    // Draws every vertex (or index), once or once per instance. Leaves vertex
    // array 0 bound.
    void draw(GLenum mode);

    uint32_t get_vertex_count() const { return vertex_count; }
    uint32_t get_instance_count() const { return instance_count; }

private:
    void store_slot(uint32_t index, uint32_t stride, uint32_t count, const float* data,
                    uint32_t divisor, uint32_t locations);
    void specify_layout();

    bool dirty = true;
    uint32_t vertex_count = 0;
    uint32_t instance_count = 0;
    GLuint vao = 0;
    VertexAttribute attributes[VERTEX_ATTRIB_MAX];
    const uint32_t* index_data = nullptr;
    uint32_t index_count = 0;
    GLuint ibo = 0;
};
