#include "support/gl_context.h"

namespace {

using test_support::GlTest;

TEST_F(GlTest, ContextIsCompatibilityProfileWithClearAndReadBack) {
    GLint mask = 0;
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &mask);
    EXPECT_TRUE(mask & GL_CONTEXT_COMPATIBILITY_PROFILE_BIT);
    glViewport(0, 0, 16, 16);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    auto px = test_support::read_pixels(0, 0, 1, 1);
    EXPECT_EQ(px[0], 255);
    EXPECT_EQ(px[1], 0);
    EXPECT_NO_GL_ERROR();
}

}  // namespace
