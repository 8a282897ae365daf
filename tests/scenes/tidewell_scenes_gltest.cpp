// The scenes of "Wembrel - tidewell" (glow rings, box grid, title and credit
// lines) and the glow rings of "Wembrel - brisken", built by the scene manager
// on a real context and drawn into the test window (160 x 120; the 16:9
// render area is 160 x 90 between two black bars of 15 rows).
#include <filesystem>

#include "scenes/production_scenes.h"
#include "scenes/scene_glowshapes/glowshapes_scene.h"
#include "scenes/scene_jqboxes/jqboxes.h"
#include "scenes/scene_siriustext/siriustext.h"
#include "scenes/test_scenes.h"
#include "system/productions.h"
#include "system/zemblasystem.h"
#include "support/e2e_display.h"

namespace {

using scene_test::write_empty_track;
using scene_test::write_track;

constexpr int kBar = 15;

class TidewellScenesTest : public scene_test::SceneManagerTest {
protected:
    void SetUp() override {
        SceneManagerTest::SetUp();
        for (const SceneTracks* table : {&JqGlowShapes::tracks, &JqBoxes::tracks, &SiriusText::tracks,
                                         &GlowShapes::tracks})
            for (const SceneTrack& track : *table) write_empty_track(track.name);
    }

    // Pixels of the render area whose brightest channel is above `level`.
    int lit_pixels(int level) {
        auto pixels = test_support::read_pixels(0, kBar, 160, 90);
        int lit = 0;
        for (size_t i = 0; i < pixels.size(); i += 4)
            if (std::max({pixels[i], pixels[i + 1], pixels[i + 2]}) > level) ++lit;
        return lit;
    }

    // One frame with scene `first` as the first layer and `overlay` over it.
    int frame_lit(float first, float overlay, int level = 20) {
        write_track("ActiveScene1st", first);
        write_track("ActiveScene4rd", overlay);
        make_manager(production_scene_list(production_id("tidewell")));
        manager->frame();
        EXPECT_NO_GL_ERROR();
        return lit_pixels(level);
    }
};

TEST_F(TidewellScenesTest, RegistersTheSceneTracksAfterTheFrameLoopsInListOrder) {
    make_manager(production_scene_list(production_id("tidewell")));
    ASSERT_EQ(manager->get_scenes().size(), 3u);
    const size_t first = scene_test::manager_tracks().size();
    ASSERT_EQ(manager->get_music()->sync_values.size(),
              first + JqGlowShapes::tracks.size() + JqBoxes::tracks.size() + SiriusText::tracks.size());
    expect_scene_tracks({&JqGlowShapes::tracks, &JqBoxes::tracks, &SiriusText::tracks}, first);
    EXPECT_EQ(JqGlowShapes::tracks.size(), 20u);
    EXPECT_EQ(JqBoxes::tracks.size(), 18u);
    EXPECT_EQ(SiriusText::tracks.size(), 9u);
}

TEST_F(TidewellScenesTest, TheBuildsTrackListHoldsEveryRegisteredTrackInOrder) {
    // The build gives a track file to each name of the list, and a
    // registered track without its file ends the run.
    const SceneList& scenes = *production_scene_list(production_id("tidewell"));
    const std::vector<std::string> listed = production_track_names(scenes);
    make_manager(&scenes);
    const std::vector<SyncValue>& values = manager->get_music()->sync_values;
    ASSERT_EQ(listed.size(), values.size());
    for (size_t i = 0; i < values.size(); ++i) EXPECT_EQ(listed[i], values[i].name);
}

TEST_F(TidewellScenesTest, GlowRingsShowAtTheirDefaults) {
    EXPECT_GT(frame_lit(0, -1), 300);
}

TEST_F(TidewellScenesTest, BoxGridShowsAtItsDefaults) {
    EXPECT_GT(frame_lit(1, -1), 300);
}

TEST_F(TidewellScenesTest, BoxGridOfNoBoxesDrawsNothing) {
    write_track("jqbxWidthCount", 0.0f);
    EXPECT_EQ(frame_lit(1, -1), 0);
}

TEST_F(TidewellScenesTest, TitleAndCreditLinesShowAsTheOverlayByTheirFades) {
    const struct {
        float scene, fade, fade2;
        bool white_text;
    } cases[] = {
        {0.0f, 1.0f, 1.0f, true},    // "tidewell" in white (the black "wembrel" leaves black)
        {0.0f, 1.0f, 0.0f, false},   // only the black line
        {0.5f, 1.0f, 0.0f, true},    // "krestel"
        {1.0f, 0.0f, 0.0f, false},   // both credit lines faded out
    };
    write_track("textSize", 120.0f);
    write_track("textX", 0.1f);
    write_track("textX2", 0.1f);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.scene << " " << c.fade << " " << c.fade2);
        write_track("textScene", c.scene);
        write_track("textFade", c.fade);
        write_track("textFade2", c.fade2);
        int lit = frame_lit(-1, 2, 128);
        if (c.white_text)
            EXPECT_GT(lit, 20);
        else
            EXPECT_EQ(lit, 0);
        manager.reset();
    }
}

// The frame loop composes the overlay only within the area the scene names,
// so that area must hold every pixel the lines change; and it should not be
// much more, or the composition saves little. The scene is drawn here as the
// first layer, over transparent black as the overlay is; a pixel the blend
// would change is one with an alpha above 0 (a faded-out line writes its
// colour with alpha 0).
TEST_F(TidewellScenesTest, TheTextLinesAreaHoldsEveryPixelTheyChangeAndLittleMore) {
    ZemblaSystem::width = 640;
    ZemblaSystem::height = 360;
    const struct {
        const char* name;
        float scene, size, x, y, x2, y2, stretch, fade, fade2;
    } cases[] = {
        {"the title as the show opens", 0, 110, 0.05f, 0.8f, 0.62f, 0.1f, 1, 1, 1},
        {"the credits, large and wide", 1, 300, 0.1f, 0.5f, 0.3f, 0.2f, 1.6f, 1, 0.5f},
        {"small and squeezed", 0, 40, 0.5f, 0.5f, 0.2f, 0.7f, 0.5f, 0.3f, 1},
        {"running off the right and the bottom", 1, 200, 0.8f, 0.9f, 0.9f, -0.05f, 1, 1, 1},
        {"the black line alone", 0, 120, 0.1f, 0.6f, 0.5f, 0.2f, 1, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::pair<const char*, float> tracks[] = {
            {"textScene", c.scene}, {"textSize", c.size}, {"textX", c.x},        {"textY", c.y},
            {"textX2", c.x2},       {"textY2", c.y2},     {"textScaleX", c.stretch}, {"textFade", c.fade},
            {"textFade2", c.fade2}, {"ActiveScene1st", 2}, {"ActiveScene4rd", -1}};
        for (const auto& track : tracks) write_track(track.first, track.second);
        make_manager(production_scene_list(production_id("tidewell")));
        manager->frame();
        FBO* drawn = manager->get_fbos()[1];
        const int w = drawn->get_width(), h = drawn->get_height();
        drawn->push(false);
        const std::vector<unsigned char> pixels = test_support::read_pixels(0, 0, w, h);
        drawn->pop();
        int x0 = w, y0 = h, x1 = -1, y1 = -1;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const unsigned char* p = &pixels[(static_cast<size_t>(y) * w + x) * 4];
                if (p[3] == 0) continue;
                x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
            }
        ASSERT_GE(x1, 0) << "the lines show";
        const ViewportRect area = overlay_rect(manager->get_scenes()[2]->overlay_area(), w, h);
        EXPECT_LE(area.x, x0);
        EXPECT_LE(area.y, y0);
        EXPECT_GT(area.x + area.width, x1);
        EXPECT_GT(area.y + area.height, y1);
        // A few pixels of margin on each side, no more.
        EXPECT_LE(area.width, x1 - x0 + 1 + 16);
        EXPECT_LE(area.height, y1 - y0 + 1 + 16);
        EXPECT_NO_GL_ERROR();
        manager.reset();
    }
    // Both lines faded out: nothing to compose.
    write_track("textFade", 0.0f);
    write_track("textFade2", 0.0f);
    make_manager(production_scene_list(production_id("tidewell")));
    manager->frame();
    EXPECT_EQ(manager->get_scenes()[2]->overlay_area().width, 0);
}

TEST_F(TidewellScenesTest, ImpossibleTextSizesAreClampedNotFatal) {
    for (float size : {-5.0f, 0.0f, 1e12f}) {
        SCOPED_TRACE(size);
        write_track("textSize", size);
        frame_lit(-1, 2);
        manager.reset();
    }
}

TEST_F(TidewellScenesTest, BothGlowSceneFamiliesDrawTheSameRingsAtTheirDefaults) {
    const SceneList list = {{"JqGlowShapes", make_scene<JqGlowShapes>}, {"GlowShapes", make_scene<GlowShapes>}};
    make_manager(&list);
    Music& music = *manager->get_music();
    VertexStreams jq, gs;
    build_glow_shapes(JqGlowShapes::shape_set_from_tracks(music), jq);
    build_glow_shapes(GlowShapes::shape_set_from_tracks(music), gs);
    EXPECT_EQ(jq.positions, gs.positions);
    // The colours differ in their defaults; the protrusions of GlowShapes are
    // invisible by default (alpha times "gsProtColor" 0).
    EXPECT_EQ(gs.colour(24).a, 0.0f);
    EXPECT_GT(gs.colour(0).a, 0.0f);
    manager->frame();
    EXPECT_NO_GL_ERROR();
    EXPECT_GT(lit_pixels(20), 300);
}

}  // namespace
