// What the trefoil's tracks send to its shader: saturated colours from hue
// and lightness with their alphas, the centre and the radius as they are.
#include "scenes/scene_fullscreen/nuke_scenes.h"

#include <gtest/gtest.h>

#include "scenes/production_scenes.h"
#include "util/music/music.h"
#include "util/music/music_fixture.h"

namespace {

class TrefoilTracks : public music_test::MusicTest {
protected:
    // The uniforms with every track at its default but those keyed here.
    TrefoilUniforms uniforms(const std::vector<std::pair<const char*, float>>& keyed) {
        for (const SceneTrack& track : NukeSL::tracks) write_track(track.name, {});
        for (const auto& [name, value] : keyed) write_track(name, {{0, value, SyncKeyType::Step}});
        Music music;
        register_scene_tracks(music, NukeSL::tracks);
        return NukeSL::uniforms_from_tracks(music);
    }
};

void expect_colour(const vec4& c, float r, float g, float b, float a) {
    EXPECT_NEAR(c.r, r, 1e-5f);
    EXPECT_NEAR(c.g, g, 1e-5f);
    EXPECT_NEAR(c.b, b, 1e-5f);
    EXPECT_NEAR(c.a, a, 1e-5f);
}

TEST_F(TrefoilTracks, DefaultsAreAYellowSymbolOnATranslucentBlackDisc) {
    const TrefoilUniforms u = uniforms({});
    expect_colour(u.fg, 1.0f, 0.9f, 0.0f, 0.75f);
    expect_colour(u.bg, 0.0f, 0.0f, 0.0f, 0.3f);
    EXPECT_EQ(u.x, 0.0f);
    EXPECT_EQ(u.y, 0.0f);
    EXPECT_EQ(u.radius, 1.0f);
}

TEST_F(TrefoilTracks, KeyedValuesReachTheirUniforms) {
    const TrefoilUniforms u = uniforms({{"NukeTriFgHue", 0.5f}, {"NukeTriFgVal", 0.25f}, {"NukeTriFgAlpha", 1.0f},
                                        {"NukeTriBgHue", 0.0f}, {"NukeTriBgVal", 1.0f}, {"NukeTriBgAlpha", 0.5f},
                                        {"NukeTriX", -0.4f}, {"NukeTriY", 0.2f}, {"NukeTriSize", 0.3f}});
    expect_colour(u.fg, 0.0f, 0.5f, 0.5f, 1.0f);  // dark cyan
    expect_colour(u.bg, 1.0f, 1.0f, 1.0f, 0.5f);  // lightness 1 is white
    EXPECT_FLOAT_EQ(u.x, -0.4f);
    EXPECT_FLOAT_EQ(u.y, 0.2f);
    EXPECT_FLOAT_EQ(u.radius, 0.3f);
}

TEST(ShaderScenes, EveryOneHasAMakerForTheProductions) {
    for (const char* name : {"ShaderToy", "NukeSL", "NukeBalls", "NukeFallout", "TranceTunnel"})
        EXPECT_NE(scene_maker(name), nullptr) << name;
}

}  // namespace
