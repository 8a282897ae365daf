// The scenes that are one shader pair over the whole target, drawn alone
// into a small target: each shows a lit picture that is not burnt out, moves
// with the beats, and answers to what drives it (loudness, tracks).
#include <GL/glew.h>

#include <string>
#include <utility>
#include <vector>

#include "scenes/scene_fullscreen/nuke_scenes.h"
#include "scenes/scene_fullscreen/trancetunnel.h"
#include "scenes/shader_scene_test.h"

namespace {

using shader_scene_test::changed_between;
using shader_scene_test::exposure_of;
using shader_scene_test::Frame;

class FullScreenScenesTest : public shader_scene_test::ShaderSceneTest {};

TEST_F(FullScreenScenesTest, TunnelIsLitAndRushesOnWithTheBeats) {
    auto tunnel = made_scene<TranceTunnel>();
    const Frame first = frame_at(*tunnel, 10.0f, "trancetunnel_beat10");
    const Frame later = frame_at(*tunnel, 10.25f, "trancetunnel_beat10_25");
    for (const Frame* f : {&first, &later}) {
        EXPECT_GT(exposure_of(*f).lit, 0.3);
        EXPECT_LT(exposure_of(*f).white, 0.01);
    }
    EXPECT_GT(changed_between(first, later), 0.2);
}

TEST_F(FullScreenScenesTest, TunnelUsesItsUniformsAndGrowsBrighterWhenLoud) {
    auto tunnel = made_scene<TranceTunnel>();
    const Frame quiet = frame_at(*tunnel, 4.5f, "trancetunnel_quiet");
    // The scene sends "fft" 0 without a soundtrack; as loud music would:
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    const GLint time = glGetUniformLocation(program, "time");
    const GLint fft = glGetUniformLocation(program, "fft");
    ASSERT_GE(time, 0);
    ASSERT_GE(fft, 0);
    FBO target(shader_scene_test::kWidth, shader_scene_test::kHeight, FBO_TYPE_RGBA8, 0);
    target.push(true);
    glUniform1f(fft, 3.0f);
    glRects(-1, -1, 1, 1);
    const Frame loud(shader_scene_test::kWidth, shader_scene_test::kHeight);
    target.pop();
    EXPECT_NO_GL_ERROR();
    loud.keep("trancetunnel_loud");
    auto mean = [](const Frame& f) {
        double sum = 0;
        for (int y = 0; y < f.height(); ++y)
            for (int x = 0; x < f.width(); ++x) sum += f.at(x, y).r + f.at(x, y).g + f.at(x, y).b;
        return sum / (f.width() * f.height());
    };
    EXPECT_GT(mean(loud), mean(quiet) * 1.3);
}

TEST_F(FullScreenScenesTest, BallsAndFalloutAreLitAndMoveWithTheBeats) {
    // Each made anew: a scene keeps the music object it was made with.
    auto check = [this](Scene& scene, const std::string& name, double lit) {
        SCOPED_TRACE(name);
        const Frame first = frame_at(scene, 7.0f, name + "_beat7");
        const Frame later = frame_at(scene, 7.5f, name + "_beat7_5");
        for (const Frame* f : {&first, &later}) {
            EXPECT_GT(exposure_of(*f).lit, lit);
            EXPECT_LT(exposure_of(*f).white, 0.01);
        }
        EXPECT_GT(changed_between(first, later), 0.03);
        GLint program = 0;
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        EXPECT_GE(glGetUniformLocation(static_cast<GLuint>(program), "Time"), 0);
    };
    check(*made_scene<NukeBalls>(), "nukeballs", 0.05);
    check(*made_scene<NukeFallout>(), "nukefallout", 0.5);
}

// The trefoil in the 320 x 180 target: the target's height spans -1..1, so
// the default disc (radius 1) touches the top and bottom edges.
class TrefoilTest : public FullScreenScenesTest {
protected:
    Frame trefoil(const std::vector<std::pair<const char*, float>>& keyed, const std::string& keep_as) {
        for (const SceneTrack& track : NukeSL::tracks) write_track(track.name, {});
        for (const auto& [name, value] : keyed) write_track(name, {{0, value, SyncKeyType::Step}});
        auto scene = made_scene<NukeSL>();
        return frame_at(*scene, 0.0f, keep_as);
    }
    // Pixel of the point (x, y) in the shader's units.
    static test_support::Rgba at(const Frame& f, float x, float y) {
        const float aspect = 320.0f / 180.0f;
        return f.at(static_cast<int>((x / aspect + 1.0f) * 160.0f), static_cast<int>((y + 1.0f) * 90.0f));
    }
};

TEST_F(TrefoilTest, DefaultsDrawTheYellowSymbolOnATranslucentBlackDisc) {
    const Frame f = trefoil({}, "nukesl_defaults");
    // Over black the yellow (255, 230, 0) shows at its alpha of 0.75.
    for (auto [x, y] : {std::pair{0.0f, 0.0f}, {0.0f, -0.5f}, {0.43f, 0.25f}, {-0.43f, 0.25f}}) {
        SCOPED_TRACE(testing::Message() << x << ", " << y);
        const test_support::Rgba p = at(f, x, y);
        EXPECT_NEAR(p.r, 191, 3);
        EXPECT_NEAR(p.g, 172, 3);
        EXPECT_LE(p.b, 2);
    }
    // Between the blades only the disc, black; beyond the disc nothing at all.
    const test_support::Rgba gap = at(f, 0.0f, 0.5f);
    EXPECT_LE(gap.brightest(), 2);
    EXPECT_GT(gap.a, 0);
    const test_support::Rgba outside = at(f, 1.5f, 0.0f);
    EXPECT_EQ(outside.brightest(), 0);
    EXPECT_EQ(outside.a, 0);
    EXPECT_GT(exposure_of(f).lit, 0.05);
}

TEST_F(TrefoilTest, TracksMoveResizeAndRecolourIt) {
    const struct {
        const char* name;
        std::vector<std::pair<const char*, float>> keyed;
        float x, y;     // a point on the symbol
        int r, g, b;    // its colour over black
        float off_x, off_y;  // a point it leaves dark
    } cases[] = {
        {"moved", {{"NukeTriX", 0.8f}, {"NukeTriY", 0.1f}}, 0.8f, 0.1f, 191, 172, 0, 0.0f, 0.0f},
        {"smaller", {{"NukeTriSize", 0.4f}}, 0.0f, -0.2f, 191, 172, 0, 0.0f, -0.5f},
        {"green opaque", {{"NukeTriFgHue", 1.0f / 3.0f}, {"NukeTriFgAlpha", 1.0f}}, 0.0f, 0.0f, 0, 255, 0, 2.0f, 0.0f},
        {"no radius", {{"NukeTriSize", 0.0f}}, 2.0f, 0.0f, 0, 0, 0, 0.0f, 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Frame f = trefoil(c.keyed, std::string("nukesl_") + c.name);
        const test_support::Rgba on = at(f, c.x, c.y);
        EXPECT_NEAR(on.r, c.r, 3);
        EXPECT_NEAR(on.g, c.g, 3);
        EXPECT_NEAR(on.b, c.b, 3);
        EXPECT_LE(at(f, c.off_x, c.off_y).brightest(), 2);
    }
}

}  // namespace
