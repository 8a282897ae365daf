// Travelling block billboards: camera-facing squares that travel along z
// from the start plane of a box, each at its own speed, and reappear at a
// random place on the start plane once past the far end. Each block's
// angle rides to the vertex shader in its texture coordinates, turning the
// square like a card. All blocks go to the GPU in one streamed buffer a
// frame, drawn as quads by "data/effects/zeldablocks/zeldablocks.vert" and
// ".frag", which spread each quad around its centre along the camera's
// right and up.
//
// Make it after the GL context exists, init it once, then render with the
// camera's matrices loaded.
#pragma once

#include <GL/glew.h>

#include <memory>
#include <vector>

#include "effects/effect.h"
#include "effects/zeldablocks/block_motion.h"

class ShaderProgram;

namespace Effects {

struct ZeldaBlocksSettings {
    int count = 200;
    ZeldaBox box;
    float size = 0.5f;  // billboard edge
    // Each block's speed and spin are drawn from these ranges.
    float min_speed = 0.05f, max_speed = 0.2f;
    float min_spin = -2.0f, max_spin = 2.0f;
};

class ZeldaBlocks : public Effect {
public:
    ZeldaBlocks();
    ~ZeldaBlocks() override;
    ZeldaBlocks(const ZeldaBlocks&) = delete;
    ZeldaBlocks& operator=(const ZeldaBlocks&) = delete;

    // Creates the blocks (speeds, spins and places from the program's
    // generator), the buffer and the program. A second call ends the run.
    void init(const ZeldaBlocksSettings& settings);
    void update_block(int i, float time);
    void respawn_block(int i);
    // Moves every block to `time` and draws them with the current matrices,
    // in the current colour's place black. Leaves the depth test on,
    // lighting, alpha test, culling and texture generation off, the program
    // bound.
    void render(float time) override;

    const std::vector<ZeldaBlock>& get_blocks() const { return blocks; }
    const float* get_buffer() const { return buffer_vertex.data(); }

private:
    std::vector<ZeldaBlock> blocks;
    bool initialised = false;
    int count = 0;
    float size = 0.0f;
    ZeldaBox box;
    std::vector<float> buffer_vertex;
    int position_bytes = 0;
    int texcoord_bytes = 0;
    GLuint vbo = 0;
    std::unique_ptr<ShaderProgram> shader;
};

}  // namespace Effects
