// The base resize on a context: size stored, viewport and scissor box set,
// projection and model-view matrices back to identity.
#include <GL/glew.h>

#include "scenes/scene.h"
#include "support/gl_context.h"

namespace {

class PlainScene : public Scene {};

using SceneResizeTest = test_support::GlTest;

TEST_F(SceneResizeTest, SetsViewportScissorAndIdentityMatrices) {
    for (int size : {0, 1}) {
        const int w = size ? 100 : 0, h = size ? 50 : 0;
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 3, 0, 3, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glTranslatef(4, 5, 6);
        glMatrixMode(GL_TEXTURE);  // left in another mode by the caller

        PlainScene scene;
        scene.resize(w, h);
        EXPECT_EQ(scene.get_width(), w);
        EXPECT_EQ(scene.get_height(), h);
        GLint box[4];
        glGetIntegerv(GL_VIEWPORT, box);
        EXPECT_EQ(std::vector<GLint>(box, box + 4), (std::vector<GLint>{0, 0, w, h}));
        glGetIntegerv(GL_SCISSOR_BOX, box);
        EXPECT_EQ(std::vector<GLint>(box, box + 4), (std::vector<GLint>{0, 0, w, h}));
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        const std::vector<float> identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        GLfloat m[16];
        glGetFloatv(GL_PROJECTION_MATRIX, m);
        EXPECT_EQ(std::vector<float>(m, m + 16), identity);
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        EXPECT_EQ(std::vector<float>(m, m + 16), identity);
        EXPECT_NO_GL_ERROR();
    }
}

}  // namespace
