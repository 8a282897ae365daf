// The sky dome drawn around a camera at its centre: pale at the horizon,
// blue toward the zenith, the storm picture mixed in on demand, and the
// shared cloud time moving 0.005 a beat from the first render.
#include <GL/glew.h>
#include <GL/glu.h>

#include "effects/effects_gl_fixture.h"
#include "effects/skydome/skydome.h"
#include "util/fbo/fbo.h"

namespace {

using test_support::Frame;

class SkyDomeTest : public effects_test::EffectsGlTest {
protected:
    void SetUp() override {
        EffectsGlTest::SetUp();
        Effects::SkyDome::cloud_time = 0.0f;
    }
    Frame look(Effects::SkyDome& sky, float time, const char* keep_as) {
        FBO target(128, 96, FBO_TYPE_RGBA8, 0);
        target.push(true);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(70.0, 4.0 / 3.0, 0.1, 500.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        // Standing at the centre on the ground, looking up a little: the
        // horizon a fifth of the way up the picture, nothing below it.
        gluLookAt(0, 0.01, 0, 0, 1.5, -4, 0, 1, 0);
        sky.render(time);
        EXPECT_NO_GL_ERROR();
        Frame f(128, 96);
        f.keep(keep_as);
        target.pop();
        return f;
    }
};

TEST_F(SkyDomeTest, PaleAtTheHorizonAndBlueAbove) {
    Effects::SkyDome sky;
    EXPECT_FLOAT_EQ(sky.bbox.y, 1.0f) << "the dome model spans y 0..1";
    const Frame f = look(sky, 0.0f, "skydome_day");
    int horizon = 0;
    while (horizon < 95 && f.at(64, horizon).brightest() == 0) ++horizon;
    EXPECT_GT(horizon, 5);
    EXPECT_LT(horizon, 40);
    const test_support::Rgba low = f.at(64, horizon + 1), high = f.at(64, 93);
    EXPECT_GT(low.r, low.b) << "horizon";
    EXPECT_GT(high.b, high.r) << "up";

    sky.daylight = 0.0f;
    EXPECT_LT(look(sky, 0.0f, "skydome_night").at(64, 93).brightest(), high.brightest());
    sky.daylight = 1.0f;
    sky.tex2_factor = 1.0f;
    EXPECT_FALSE(look(sky, 0.0f, "skydome_storm") == f);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(SkyDomeTest, TheCloudTimeStartsAtTheFirstRenderAndFollowsTheBeats) {
    Effects::SkyDome sky;
    look(sky, 10.0f, "skydome_clouds_a");
    EXPECT_EQ(Effects::SkyDome::cloud_time, 0.0f);
    look(sky, 14.0f, "skydome_clouds_b");
    EXPECT_FLOAT_EQ(Effects::SkyDome::cloud_time, 0.02f);
    look(sky, 12.0f, "skydome_clouds_c");  // backwards
    EXPECT_FLOAT_EQ(Effects::SkyDome::cloud_time, 0.01f);
    // A second dome shares it.
    Effects::SkyDome other;
    look(other, 3.0f, "skydome_clouds_d");
    EXPECT_FLOAT_EQ(Effects::SkyDome::cloud_time, 0.01f);
}

}  // namespace
