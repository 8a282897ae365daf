// The motion-blur pass drawn the way the frame loop would draw it: update
// with the source, render, then the source over the unit square through the
// bound program.
#include <GL/glew.h>

#include "effects/postproc/motionblur.h"
#include "support/gl_context.h"
#include "support/gl_frame.h"
#include "util/fbo/fbo.h"

namespace {

using Effects::Motionblur;
using test_support::Frame;

class MotionblurGlTest : public test_support::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        Motionblur::last_advance_time = 0.0f;
    }

    // One frame of a solid grey level through the pass at `beats`.
    Frame frame(Motionblur& pass, int level, float beats, const char* keep_as = nullptr) {
        FBO source(kSize, kSize, FBO_TYPE_RGBA8, 0);
        source.push(false);
        glClearColor(level / 255.0f, level / 255.0f, level / 255.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        source.pop();
        glClearColor(0, 0, 0, 0);
        glDisable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);

        pass.update(kSize, kSize, beats, &source);
        pass.render(kSize, kSize, beats);
        FBO target(kSize, kSize, FBO_TYPE_RGBA8, 0);
        target.push(true);
        source.draw();
        Frame out(kSize, kSize);
        if (keep_as) out.keep(keep_as);
        target.pop();
        EXPECT_NO_GL_ERROR();
        return out;
    }

    static constexpr int kSize = 16;
};

TEST_F(MotionblurGlTest, AWhiteFrameThenABlackOneGiveMidGreyWithTwoFrames) {
    Motionblur pass;
    pass.set_param(0, 2.0f);  // Frames
    pass.set_param(1, 1.0f);  // Strength
    const Frame white = frame(pass, 255, 1.0f);
    EXPECT_EQ(white.at(8, 8).r, 255);
    const Frame grey = frame(pass, 0, 2.0f, "motionblur_white_then_black");
    for (int xy : {0, 8, 15}) {
        EXPECT_NEAR(grey.at(xy, xy).r, 128, 2);
        EXPECT_NEAR(grey.at(xy, xy).b, 128, 2);
    }
}

TEST_F(MotionblurGlTest, OlderImagesWeighLessAndStrengthScalesThem) {
    Motionblur pass;
    pass.set_param(0, 4.0f);
    pass.set_param(1, 1.0f);
    // 60 three frames ago, then black: 60 x 0.25 = 15 at strength 1.
    frame(pass, 60, 1.0f);
    frame(pass, 0, 2.0f);
    frame(pass, 0, 3.0f);
    EXPECT_NEAR(frame(pass, 0, 4.0f).at(4, 4).g, 15, 2);
    // Strength 2 doubles the history; the ring has come round to the 60
    // image's slot, which now holds 100, one frame old.
    pass.set_param(1, 2.0f);
    frame(pass, 100, 5.0f);
    EXPECT_NEAR(frame(pass, 0, 6.0f).at(4, 4).g, 150, 2) << "100 x 0.75 x 2";
}

TEST_F(MotionblurGlTest, WithinTheDelayTheSameSlotIsOverwritten) {
    Motionblur pass;
    pass.set_param(0, 2.0f);
    pass.set_param(2, 1.0f);  // Delay: a new slot only after more than a beat
    frame(pass, 200, 2.0f);   // moves on (2 > 0 + 1)
    const int slot = pass.get_current();
    frame(pass, 40, 2.5f);    // same slot: the 200 image is gone
    EXPECT_EQ(pass.get_current(), slot);
    EXPECT_NEAR(frame(pass, 0, 3.5f).at(2, 2).r, 20, 2) << "40 x 0.5";
}

TEST_F(MotionblurGlTest, FewerFramesRegenerateTheProgramAndKeepTheRing) {
    Motionblur pass;
    pass.set_param(0, 4.0f);
    frame(pass, 0, 1.0f);
    EXPECT_EQ(pass.get_num_frames(), 4);
    EXPECT_EQ(pass.get_history_size(), 4u);
    pass.set_param(0, 3.0f);
    frame(pass, 0, 2.0f);
    EXPECT_EQ(pass.get_num_frames(), 3);
    EXPECT_EQ(pass.get_history_size(), 4u);
    // 100 frames: as many as this driver's texture units allow, and it links.
    pass.set_param(0, 100.0f);
    frame(pass, 0, 3.0f);
    GLint units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS, &units);
    EXPECT_EQ(pass.get_num_frames(), std::min(64, static_cast<int>(units)));
}

}  // namespace
