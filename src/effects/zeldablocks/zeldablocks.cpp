#include "effects/zeldablocks/zeldablocks.h"

#include <algorithm>
#include <cstdint>
#include <new>

#include "system/fatal.h"
#include "util/math/scalar.h"
#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

ZeldaBlocks::ZeldaBlocks() = default;

ZeldaBlocks::~ZeldaBlocks() {
    if (vbo) glDeleteBuffers(1, &vbo);
}

void ZeldaBlocks::init(const ZeldaBlocksSettings& settings) {
    if (initialised) FATAL_ERROR("ZeldaBlocks::init() called twice!");
    count = std::max(0, settings.count);
    size = settings.size;
    box = settings.box;
    blocks.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        blocks[i].speed = random_range(settings.min_speed, settings.max_speed);
        blocks[i].spin = random_range(settings.min_spin, settings.max_spin);
        respawn_block(i);
    }
    position_bytes = count * kZeldaPositionFloats * static_cast<int>(sizeof(float));
    texcoord_bytes = count * kZeldaTexcoordFloats * static_cast<int>(sizeof(float));
    try {
        buffer_vertex.assign(static_cast<size_t>(count) * (kZeldaPositionFloats + kZeldaTexcoordFloats), 0.0f);
    } catch (const std::bad_alloc&) {
        FATAL_ERROR("buffer_vertex is NULL");
    }
    glGenBuffers(1, &vbo);
    shader = std::make_unique<ShaderProgram>("data/effects/zeldablocks/zeldablocks.vert",
                                             "data/effects/zeldablocks/zeldablocks.frag");
    initialised = true;
}

void ZeldaBlocks::update_block(int i, float time) {
    ZeldaBlock& b = blocks[i];
    b.position.z = zelda_block_z(time, b.speed, box.min.z, box.length);
    b.angle = zelda_block_angle(time, b.spin);
}

void ZeldaBlocks::respawn_block(int i) {
    const vec3 p = zelda_respawn_position(box);
    blocks[i].position.set(p.x, p.y, p.z);
}

void ZeldaBlocks::render(float time) {
    if (!initialised) FATAL_ERROR("ZeldaBlocks::render() called without initializing effect!");
    for (int i = 0; i < count; ++i) {
        update_block(i, time);
        if (blocks[i].position.z > box.max.z) {
            respawn_block(i);
            update_block(i, time);
        }
        write_zelda_block(blocks[i], i, count, buffer_vertex.data());
    }

    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    for (GLenum gen : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R, GL_TEXTURE_GEN_Q}) glDisable(gen);
    glDisable(GL_CULL_FACE);

    // The camera's right and up: the first two rows of the modelview.
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    shader->bind();
    shader->set_uniform3f("right", m[0], m[4], m[8]);
    shader->set_uniform3f("up", m[1], m[5], m[9]);
    shader->set_uniform1f("size", size);

    // A vertex array object left bound would feed the client arrays from
    // its own buffers instead.
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, position_bytes + texcoord_bytes, buffer_vertex.data(), GL_STREAM_DRAW);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glTexCoordPointer(2, GL_FLOAT, 0, reinterpret_cast<const void*>(static_cast<uintptr_t>(position_bytes)));
    glDrawArrays(GL_QUADS, 0, 4 * count);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

}  // namespace Effects
