// A hidden window with an OpenGL compatibility context and GLEW initialised,
// shared by every GL test of the process. Needs a display (Xvfb in CI).
#pragma once

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <vector>

namespace test_support {

// Makes the shared context current, creating it on first use.
void ensure_gl_context();

// Reads back a rectangle of the bound read framebuffer as RGBA bytes.
std::vector<unsigned char> read_pixels(int x, int y, int width, int height);

// Fails the current test with the GL error code when one is pending.
#define EXPECT_NO_GL_ERROR() EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR))

// Base fixture of GL tests: a current context, errors drained before each test.
class GlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensure_gl_context();
        while (glGetError() != GL_NO_ERROR) {
        }
    }
};

}  // namespace test_support
