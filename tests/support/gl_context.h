// A hidden window with an OpenGL compatibility context and GLEW initialised,
// shared by every GL test of the process. Needs a display (Xvfb in CI).
#pragma once

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <vector>

namespace test_support {

// Makes the shared context current, creating it on first use.
void ensure_gl_context();

// Puts the shared context back into the state of a new context (as far as
// the tests and the code under them change it): no target, program, vertex
// array, buffer or texture bound, every switch at its default, identity
// matrices, black clearing, white colour, the window's viewport.
void reset_gl_state();

// Reads back a rectangle of the bound read framebuffer as RGBA bytes.
std::vector<unsigned char> read_pixels(int x, int y, int width, int height);

// Fails the current test with the GL error code when one is pending.
#define EXPECT_NO_GL_ERROR() EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR))

// Base fixture of GL tests: a current context in its default state, errors
// drained before each test. The tests of a process share the context, so a
// test sees nothing of what an earlier one left behind.
class GlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensure_gl_context();
        reset_gl_state();
        while (glGetError() != GL_NO_ERROR) {
        }
    }
};

}  // namespace test_support
