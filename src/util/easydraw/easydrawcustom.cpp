#include "util/easydraw/easydrawcustom.h"

#include "system/fatal.h"

void EasyDrawObject::set_attribute(uint32_t index, uint32_t stride, uint32_t count,
                                   const float* data, uint32_t divisor) {
    FATAL_ASSERT(index < VERTEX_ATTRIB_MAX);
    FATAL_ASSERT(stride >= 1 && stride <= 4);
    FATAL_ASSERT(0 == count % stride);
    // A slot that held instance matrices keeps feeding four locations.
    store_slot(index, stride, count, data, divisor, attributes[index].locations);
}

void EasyDrawObject::set_instanced_matrices(uint32_t index, uint32_t count, const float* data) {
    FATAL_ASSERT(index < VERTEX_ATTRIB_MAX);
    FATAL_ASSERT(index + 4 <= VERTEX_ATTRIB_MAX);
    FATAL_ASSERT(0 == count % 16);
    store_slot(index, 4, count, data, 1, 4);
}

void EasyDrawObject::store_slot(uint32_t index, uint32_t stride, uint32_t count,
                                const float* data, uint32_t divisor, uint32_t locations) {
    VertexAttribute& att = attributes[index];
    FATAL_ASSERT(index + locations <= VERTEX_ATTRIB_MAX);
    // Any change of the slot's shape needs a new layout, not only a new size.
    if (count != att.count || stride != att.stride || divisor != att.divisor ||
        locations != att.locations || att.vbo == 0)
        dirty = true;
    att.count = count;
    att.stride = stride;
    att.data = data;
    att.divisor = divisor;
    att.locations = locations;
    if (!att.vbo) {
        glGenBuffers(1, &att.vbo);
        FATAL_ASSERT(att.vbo);
    }
    glBindBuffer(GL_ARRAY_BUFFER, att.vbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count) * sizeof(float), data,
                 GL_DYNAMIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void EasyDrawObject::set_indices(uint32_t count, const uint32_t* data) {
    if (count != index_count) dirty = true;
    index_data = data;
    index_count = count;
    if (!ibo) {
        glGenBuffers(1, &ibo);
        FATAL_ASSERT(ibo);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(count) * sizeof(uint32_t), data,
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void EasyDrawObject::specify_layout() {
    uint32_t vertices = 0;
    uint32_t instances = 0;
    glBindVertexArray(vao);
    for (uint32_t slot = 0; slot < VERTEX_ATTRIB_MAX; ++slot) {
        const VertexAttribute& att = attributes[slot];
        if (!att.vbo) continue;
        if (att.divisor == 0) {
            if (vertices == 0) {
                vertices = att.count / att.stride;
            } else if (att.count / att.stride != vertices) {
                glBindVertexArray(0);
                FATAL_ERROR("Count " << vertices << " does not match att.count " << att.count
                                     << " / att.stride " << att.stride);
            }
        } else {
            if (instances == 0) {
                instances = att.count / (att.locations * att.stride);
            } else if (instances != att.count / (att.locations * att.stride)) {
                glBindVertexArray(0);
                FATAL_ERROR("Failed assert instances == att.count / ( att.locations * att.stride )");
            }
        }
        // Elements are tightly packed, except that the columns of an
        // instance matrix interleave: one matrix advances locations x stride
        // floats.
        const GLsizei byte_stride =
            att.locations > 1 ? static_cast<GLsizei>(att.locations * att.stride * sizeof(float)) : 0;
        glBindBuffer(GL_ARRAY_BUFFER, att.vbo);
        for (uint32_t j = 0; j < att.locations; ++j) {
            const GLuint location = slot + j;
            glEnableVertexAttribArray(location);
            glVertexAttribPointer(location, static_cast<GLint>(att.stride), GL_FLOAT, GL_FALSE,
                                  byte_stride,
                                  reinterpret_cast<const void*>(
                                      static_cast<uintptr_t>(j * att.stride * sizeof(float))));
            glVertexAttribDivisor(location, att.divisor);
        }
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    if (index_count) glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo);
    glBindVertexArray(0);
    vertex_count = vertices;
    instance_count = instances;
    dirty = false;
}

void EasyDrawObject::draw(GLenum mode) {
    if (!vao) {
        glGenVertexArrays(1, &vao);
        FATAL_ASSERT(vao);
    }
    if (dirty) specify_layout();
    if (vertex_count == 0) return;

    glBindVertexArray(vao);
    const GLsizei vertices = static_cast<GLsizei>(vertex_count);
    const GLsizei indices = static_cast<GLsizei>(index_count);
    const GLsizei instances = static_cast<GLsizei>(instance_count);
    if (index_count && instance_count)
        glDrawElementsInstanced(mode, indices, GL_UNSIGNED_INT, nullptr, instances);
    else if (index_count)
        glDrawElements(mode, indices, GL_UNSIGNED_INT, nullptr);
    else if (instance_count)
        glDrawArraysInstanced(mode, 0, vertices, instances);
    else
        glDrawArrays(mode, 0, vertices);
    glBindVertexArray(0);
}
