// The full-screen shader effects drawn into small targets: the attractor's
// glow, the ray-marched boxes steered by their tracks, the radial blur
// added toward its origin, and their fatal paths.
#include "effects/attractor/attractor.h"
#include "effects/effects_gl_fixture.h"
#include "effects/radialblur/radialblur.h"
#include "effects/raymarcher/raymarcher.h"
#include "util/fbo/fbo.h"
#include "util/math/random.h"

namespace {

using test_support::Frame;

class FullScreenEffectsTest : public effects_test::EffectsGlTest {
protected:
    // A target cleared black, the effect drawn into it, read back.
    template <typename Draw>
    Frame drawn(int w, int h, const char* keep_as, Draw draw) {
        FBO target(w, h, FBO_TYPE_RGBA8, 0);
        target.push(true);
        draw();
        EXPECT_NO_GL_ERROR();
        Frame f(w, h);
        f.keep(keep_as);
        target.pop();
        return f;
    }
};

int lit_pixels(const Frame& f, int above) {
    int n = 0;
    for (int y = 0; y < f.height(); ++y)
        for (int x = 0; x < f.width(); ++x) n += f.at(x, y).brightest() > above;
    return n;
}

TEST_F(FullScreenEffectsTest, TheAttractorGlowsInItsColourAndReseedsTheGeneratorFromTheTime) {
    Effects::Attractor attractor;
    attractor.colour = vec4(1.0f, 0.9f, 0.8f, 1.0f);
    const Frame f = drawn(96, 54, "attractor", [&] { attractor.render(12.5f); });
    EXPECT_GT(lit_pixels(f, 40), 20);
    EXPECT_LT(lit_pixels(f, 250), 96 * 54 / 2) << "a glow, not a white sheet";

    // Two draws at one time leave the generator in the same state.
    attractor.render(7.0f);
    const int first = random_next();
    random_seed(99);
    attractor.render(7.0f);
    EXPECT_EQ(random_next(), first);
    // No intensity: nothing shows.
    attractor.intensity = 0.0f;
    EXPECT_EQ(drawn(32, 32, "attractor_off", [&] { attractor.render(12.5f); }).brightest(), 0);
}

TEST_F(FullScreenEffectsTest, TheRaymarcherDrawsTheBoxFieldFromItsTracks) {
    Effects::Raymarcher ray(music.get(), Effects::RayTracking::Constant);
    const Frame f = drawn(96, 54, "raymarcher", [&] { ray.render(1.0f); });
    EXPECT_GT(lit_pixels(f, 20), 96 * 54 / 4);
    // Turned half round about y, the camera sees another part of the field.
    for (SyncValue& v : music->sync_values)
        if (v.name == "RayViewRot") v.value = 180.0f;
    const Frame turned = drawn(96, 54, "raymarcher_turned", [&] { ray.render(1.0f); });
    EXPECT_FALSE(turned == f);
}

TEST_F(FullScreenEffectsTest, TheRaymarcherReadsAnUnregisteredTrackAsFatal) {
    EXPECT_FATAL(Effects::raymarcher_frame([&](const char* name) { return music->get_sync_value(name); }),
                 "Can't find sync value for RayPosX");
}

TEST_F(FullScreenEffectsTest, TheRadialBlurStreaksTheTextureAwayFromItsOrigin) {
    // A small white square right of the centre, on black.
    FBO picture(64, 64, FBO_TYPE_RGBA8_NO_DEPTH, 0);
    picture.push(true);
    glEnable(GL_SCISSOR_TEST);
    glScissor(38, 29, 7, 7);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);
    glDisable(GL_SCISSOR_TEST);
    picture.pop();

    for (bool iterations : {false, true}) {
        SCOPED_TRACE(iterations ? "iterations" : "intensity");
        Effects::RadialBlurWeighting weighting;
        weighting.iterations = iterations;
        Effects::RadialBlur blur(weighting);
        EXPECT_EQ(blur.uses_iterations(), iterations);
        blur.set_texture(picture.get_texture(0));
        blur.iterations = 12.0f;
        blur.intensity = 1.0f;
        const Frame f = drawn(64, 64, iterations ? "radialblur_iterations" : "radialblur_intensity",
                              [&] { blur.render(0.0f); });
        EXPECT_GT(f.at(41, 32).r, 60) << "the square itself";
        EXPECT_GT(f.at(54, 32).r, 5) << "streaked outward";
        EXPECT_EQ(f.at(34, 32).r, 0) << "nothing between it and the origin";
        EXPECT_EQ(f.at(12, 32).r, 0) << "nor on the far side";
    }
}

TEST_F(FullScreenEffectsTest, TheRadialBlurRefusesNoTextureAndBothWeightings) {
    Effects::RadialBlur blur;
    EXPECT_FATAL(blur.render(0.0f), "Trying to radialblur without setting texture");
    Effects::RadialBlurWeighting both;
    both.intensity = both.iterations = true;
    EXPECT_FATAL(Effects::RadialBlur{both}, "Intensity and iterations at the same time not yet supported!");
}

}  // namespace
