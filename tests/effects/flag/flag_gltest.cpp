// The waving flag drawn with its own camera: upright and centred, waving
// with time, still through its second program, and the caller's matrices
// back afterwards.
#include <cstdlib>

#include "effects/effects_gl_fixture.h"
#include "effects/flag/flag.h"
#include "util/fbo/fbo.h"

namespace {

using test_support::Frame;

class FlagTest : public effects_test::EffectsGlTest {
protected:
    Frame draw(Effects::Flag& flag, float time, const char* keep_as) {
        FBO target(160, 120, FBO_TYPE_RGBA8, 0);
        target.push(true);
        glColor4f(1, 1, 1, 1);
        flag.draw(time);
        EXPECT_NO_GL_ERROR();
        Frame f(160, 120);
        f.keep(keep_as);
        target.pop();
        return f;
    }
};

bool near(const test_support::Rgba& c, int r, int g, int b) {
    return std::abs(c.r - r) <= 12 && std::abs(c.g - g) <= 12 && std::abs(c.b - b) <= 12;
}

TEST_F(FlagTest, HangsUprightAndCentredThroughTheStillProgram) {
    Effects::Flag flag;
    flag.waving = false;
    const Frame f = draw(flag, 0.0f, "flag_still");
    // Blue band on top, cream in the middle, red below, the gold disc on the
    // hoist side (left).
    EXPECT_TRUE(near(f.at(120, 100), 31, 51, 140)) << f.at(120, 100).r << "," << f.at(120, 100).g;
    EXPECT_TRUE(near(f.at(120, 60), 242, 237, 219));
    EXPECT_TRUE(near(f.at(120, 20), 191, 41, 36));
    EXPECT_TRUE(near(f.at(50, 60), 237, 184, 51));
    // The flag nearly fills the view; its sides stay inside it.
    EXPECT_EQ(f.at(0, 60).brightest(), 0);
    EXPECT_EQ(f.at(159, 60).brightest(), 0);
}

TEST_F(FlagTest, WavesWithTimeAndPutsTheMatricesBack) {
    Effects::Flag flag;
    GLfloat before[16];
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    const Frame a = draw(flag, 0.0f, "flag_wave_0");
    const Frame b = draw(flag, 40.0f, "flag_wave_40");
    EXPECT_FALSE(a == b) << "the wave moves";
    GLfloat after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i], before[i]);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    glLoadIdentity();
}

}  // namespace
