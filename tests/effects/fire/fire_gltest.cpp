// The feedback fire drawn: the two targets alternate, each step reading
// the other; each mode grows a picture from the sparks; units 1 and 2 are
// empty afterwards; a mode outside 0..3 is refused.
#include "effects/effects_gl_fixture.h"
#include "effects/fire/fire.h"
#include "util/fbo/fbo.h"

namespace {

using test_support::Frame;

constexpr int kSize = 48;

Frame contents(FBO* fbo) {
    fbo->push(false);
    Frame f(fbo->get_width(), fbo->get_height());
    fbo->pop();
    return f;
}

// A solid picture of one grey level, as a render target's texture.
std::unique_ptr<FBO> grey_picture(int level) {
    auto fbo = std::make_unique<FBO>(kSize, kSize, FBO_TYPE_RGBA8_NO_DEPTH, 0);
    fbo->push(false);
    glClearColor(level / 255.0f, level / 255.0f, level / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);
    fbo->pop();
    return fbo;
}

int bound_2d_texture(int unit) {
    GLint id = 0;
    glActiveTexture(GL_TEXTURE0 + unit);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &id);
    glActiveTexture(GL_TEXTURE0);
    return id;
}

class FireTest : public effects_test::EffectsGlTest {
protected:
    // A fire fed only by a solid grey picture (no sparks).
    std::unique_ptr<Effects::Fire> fed_by_picture(int level) {
        picture = grey_picture(level);
        auto fire = std::make_unique<Effects::Fire>(kSize, kSize);
        fire->set_image(picture->get_texture(0));
        fire->spark_pct = 0.0f;
        fire->image_factor = 1.0f;
        return fire;
    }
    std::unique_ptr<FBO> picture;
};

TEST_F(FireTest, TwoCallsWriteAlternateTargetsEachReadingTheOther) {
    auto fire_owner = fed_by_picture(200);
    Effects::Fire& fire = *fire_owner;
    fire.update(0.0f);
    EXPECT_NO_GL_ERROR();
    EXPECT_EQ(fire.get_current(), 1);
    EXPECT_NEAR(contents(fire.get_target(1)).at(24, 24).r, 200, 2) << "the picture fed the newest target";
    EXPECT_EQ(contents(fire.get_target(0)).brightest(), 0) << "the older target is untouched";

    // Without the picture the next step is the previous one risen and cooled.
    fire.image_factor = 0.0f;
    fire.update(0.1f);
    EXPECT_EQ(fire.get_current(), 0);
    const int risen = contents(fire.get_target(0)).at(24, 24).r;
    EXPECT_GT(risen, 150);
    EXPECT_LT(risen, 200);
    EXPECT_NEAR(contents(fire.get_target(1)).at(24, 24).r, 200, 2) << "read, not written";
    EXPECT_NO_GL_ERROR();
}

TEST_F(FireTest, UnitsOneAndTwoAreEmptyAfterwards) {
    auto fire = fed_by_picture(90);
    fire->update(0.0f);
    EXPECT_EQ(bound_2d_texture(1), 0);
    EXPECT_EQ(bound_2d_texture(2), 0);
}

TEST_F(FireTest, AModeOutsideZeroToThreeIsRefused) {
    Effects::Fire fire(8, 8);
    EXPECT_FATAL(fire.set_mode(4), "Invalid fire mode 4");
    EXPECT_FATAL(fire.set_mode(-1), "Invalid fire mode -1");
}

TEST_F(FireTest, EachModeGrowsAPictureFromTheSparksTintedByTheColour) {
    const struct {
        Effects::FireMode mode;
        const char* name;
    } modes[] = {{Effects::FIRE, "fire"}, {Effects::SMOKE, "smoke"}, {Effects::MILK, "milk"}, {Effects::GRAY, "gray"}};
    for (const auto& m : modes) {
        SCOPED_TRACE(m.name);
        Effects::Fire fire(96, 96);
        fire.set_mode(m.mode);
        fire.spark_pct = 0.6f;
        for (int i = 0; i < 60; ++i) fire.update(i * 0.05f);
        fire.colour = vec4(1.0f, 1.0f, 1.0f, 1.0f);
        FBO target(96, 96, FBO_TYPE_RGBA8, 0);
        target.push(true);
        fire.render(3.0f);
        EXPECT_NO_GL_ERROR();
        const Frame f(96, 96);
        f.keep(std::string("fire_mode_") + m.name);
        target.pop();
        // Sparks at the bottom edge (fire, smoke, grey) or the top (milk)
        // have risen or run a sixth of the way and more.
        if (m.mode == Effects::MILK)
            EXPECT_GT(f.brightest_in_rows(64, 80), 20);
        else
            EXPECT_GT(f.brightest_in_rows(16, 32), 20);
        EXPECT_EQ(f.at(48, m.mode == Effects::MILK ? 2 : 93).brightest(), 0) << "but not across the whole height";
        if (m.mode == Effects::FIRE) {
            long red = 0, blue = 0;
            for (int y = 0; y < 96; ++y)
                for (int x = 0; x < 96; ++x) red += f.at(x, y).r, blue += f.at(x, y).b;
            EXPECT_GT(red, 2 * blue) << "fire cools through yellow and red";
        }
    }
}

TEST_F(FireTest, TheColourTintsTheShownResult) {
    auto fire_owner = fed_by_picture(255);
    Effects::Fire& fire = *fire_owner;
    fire.colour = vec4(0.0f, 0.5f, 1.0f, 1.0f);
    FBO target(kSize, kSize, FBO_TYPE_RGBA8, 0);
    target.push(true);
    glDisable(GL_BLEND);
    fire.render(0.0f);
    const Frame f(kSize, kSize);
    target.pop();
    EXPECT_EQ(f.at(20, 20).r, 0);
    EXPECT_NEAR(f.at(20, 20).g, 128, 2);
    EXPECT_EQ(f.at(20, 20).b, 255);
    EXPECT_NO_GL_ERROR();
}

}  // namespace
