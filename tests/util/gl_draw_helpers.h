// Small helpers shared by the GPU-layer GL tests: a unit-square projection,
// programs from builders, and pixel read-back.
#pragma once

#include <GL/glew.h>

#include <memory>
#include <vector>

#include "support/gl_context.h"
#include "util/fbo/fbo.h"
#include "util/math/mat4.h"
#include "util/shaderprogram/shaderconstructor.h"
#include "util/shaderprogram/shaderprogram.h"

namespace gl_draw_helpers {

// Maps x and y from 0..1 to the whole viewport.
inline const float* unit_square_projection() {
    static const mat4 m(mat4::PRESET_UNIT_SQUARE);
    return m.data();
}

// A program from a builder, kept for the whole test run.
inline ShaderProgram* program_from(std::unique_ptr<ShaderConstructor> builder) {
    return new ShaderProgram(std::move(builder));
}

// The RGBA pixel at (x, y) of the bound read frame buffer.
inline std::vector<int> pixel(int x, int y) {
    auto p = test_support::read_pixels(x, y, 1, 1);
    return {p[0], p[1], p[2], p[3]};
}

}  // namespace gl_draw_helpers
