// Small helpers shared by the GPU-layer GL tests: a unit-square projection,
// a textured 2D program and a render target to draw into and read back.
#pragma once

#include <GL/glew.h>

#include <memory>
#include <vector>

#include "support/gl_context.h"
#include "util/fbo/fbo.h"
#include "util/shaderprogram/shaderconstructor.h"
#include "util/shaderprogram/shaderprogram.h"

namespace gl_draw_helpers {

// Maps x and y from 0..1 to the whole viewport (column-major).
inline const float* unit_square_projection() {
    static const float m[16] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, -1, 0, -1, -1, 0, 1};
    return m;
}

// A program from a builder, kept for the whole test run (builders and
// programs live as long as the process in the program too).
inline ShaderProgram* program_from(ShaderConstructor* builder) {
    return new ShaderProgram(builder);
}

// The textured 2D program with the unit-square projection, bound.
inline ShaderProgram* bind_texture_program() {
    static ShaderProgram* program = program_from(make_shader_texture2d("TestTexture2d"));
    program->bind();
    program->set_uniform_matrix4fv("ProjectionMatrix", unit_square_projection(), 1, false);
    program->set_uniform1i("Texture", 0);
    return program;
}

// The RGBA pixel at (x, y) of the bound read frame buffer.
inline std::vector<int> pixel(int x, int y) {
    auto p = test_support::read_pixels(x, y, 1, 1);
    return {p[0], p[1], p[2], p[3]};
}

}  // namespace gl_draw_helpers
