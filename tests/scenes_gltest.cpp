// The scene manager on a real context: its tracks, its scenes, the fixed GL
// state, and frames composed from test scenes and the post-processing passes
// into a target that stands in for the window (160 x 120, so the 16:9 render
// area is 160 x 90 with black bars of 15 rows at the top and bottom).
#include "scenes.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "effects/effect.h"
#include "effects/postproc/passes.h"
#include "scenes/test_scenes.h"
#include "util/data/loadingscreen.h"

namespace {

using scene_test::RectScene;
using scene_test::SceneManagerTest;
using scene_test::write_track;

constexpr int kBar = 15;  // rows of each black bar

// Channels within 2 of the expected 0..255 values.
MATCHER_P(Near, expected, "") {
    for (size_t i = 0; i < expected.size(); ++i)
        if (std::abs(arg[i] - expected[i]) > 2) return false;
    return true;
}

const std::vector<int> kBlack = {0, 0, 0, 0};
const std::vector<int> kRed = {255, 0, 0, 255};
const std::vector<int> kGreen = {0, 255, 0, 255};

TEST_F(SceneManagerTest, RegistersItsOwnTracksThenEachPassRowsTracksInOrderWithTheirDefaults) {
    make_manager();
    const std::vector<SyncValue>& values = manager->get_music()->sync_values;
    const auto& expected = scene_test::manager_tracks();
    ASSERT_EQ(values.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(values[i].name, expected[i].name);
        EXPECT_FLOAT_EQ(values[i].value, expected[i].value);
        EXPECT_NE(values[i].track, nullptr) << "every track is tracked";
        // With an empty track file the track reads its default.
        EXPECT_FLOAT_EQ(manager->get_music()->get_sync_value(expected[i].name), expected[i].value);
    }
    // One pass a registry row, in its order.
    std::vector<std::string> names, rows;
    for (Effects::PostProc* pass : manager->get_postprocs()) names.push_back(pass->get_name());
    for (const PassInfo& row : postproc_registry()) rows.push_back(row.name);
    EXPECT_EQ(names, rows);
}

// Leaves state behind in init, and records what it was handed.
class WiringScene : public RectScene {
public:
    WiringScene() : RectScene(1, 1, 1, 1) {}
    void init() override {
        RectScene::init();
        wired = get_music() && get_fbo() && get_input() && get_keys();
        glEnable(GL_BLEND);
        glDepthMask(GL_FALSE);
        sized_before_init = get_width() != 0;
    }
    bool wired = false;
    bool sized_before_init = true;
};
WiringScene* wiring_scenes[2];  // a look at each, which the scene manager owns
std::unique_ptr<Scene> make_wiring(int index) {
    auto scene = std::make_unique<WiringScene>();
    wiring_scenes[index] = scene.get();
    return scene;
}
std::unique_ptr<Scene> make_wiring_a() { return make_wiring(0); }
std::unique_ptr<Scene> make_wiring_b() { return make_wiring(1); }

TEST_F(SceneManagerTest, BuildsEachSceneWiredInitialisedAndSizedThenResetsTheState) {
    const SceneList list = {{"A", make_wiring_a}, {"B", make_wiring_b}};
    make_manager(&list);
    ASSERT_EQ(manager->get_scenes().size(), 2u);
    for (int i = 0; i < 2; ++i) {
        WiringScene* scene = wiring_scenes[i];
        EXPECT_EQ(manager->get_scenes()[i], scene);
        EXPECT_EQ(scene->inits, 1);
        EXPECT_TRUE(scene->wired);
        EXPECT_FALSE(scene->sized_before_init);
        EXPECT_EQ(scene->get_music(), manager->get_music());
        EXPECT_EQ(scene->get_fbo(), manager->get_scene_fbo());
        EXPECT_FLOAT_EQ(scene->get_aspect(), 16.0f / 9.0f);
        for (int k = 0; k < 256; ++k) ASSERT_EQ(scene->get_keys()[k], 0);
        EXPECT_EQ(scene->get_width(), 160);
        EXPECT_EQ(scene->get_height(), 90);
    }
    EXPECT_EQ(wiring_scenes[0]->get_keys(), wiring_scenes[1]->get_keys());
    EXPECT_EQ(wiring_scenes[0]->get_input(), wiring_scenes[1]->get_input());
    // The render targets follow the render area.
    EXPECT_EQ(manager->get_scene_fbo()->get_width(), 160);
    EXPECT_EQ(manager->get_scene_fbo()->get_height(), 90);
    for (FBO* target : manager->get_fbos()) {
        EXPECT_EQ(target->get_width(), 160);
        EXPECT_EQ(target->get_height(), 90);
    }
    EXPECT_EQ(manager->get_fbos()[0]->get_samples(), 4);
    EXPECT_EQ(manager->get_fbos()[1]->get_samples(), 0);
    GLboolean depth_mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depth_mask);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(depth_mask);
    EXPECT_NO_GL_ERROR();
}

// Scenes that read no file and note when they are made and initialised, in
// one log with the loading screen's ticks.
std::vector<std::string> loading_log;
class LoggingScene : public RectScene {
public:
    explicit LoggingScene(const char* name) : RectScene(1, 1, 1, 1), name_(name) {
        loading_log.push_back(name_ + " made");
    }
    void init() override { loading_log.push_back(name_ + " initialised"); }

private:
    std::string name_;
};
std::unique_ptr<Scene> make_logging_a() { return std::make_unique<LoggingScene>("A"); }
std::unique_ptr<Scene> make_logging_b() { return std::make_unique<LoggingScene>("B"); }

TEST_F(SceneManagerTest, LoadingGoesOnBetweenStepsThatReadNoFile) {
    // A loading screen whose clock moves on a second at every look, so that
    // every tick redraws; nothing reaches the real window.
    loading_log.clear();
    uint64_t clock = 0;
    int draws = 0;
    LoadingScreen::Services services;
    services.now_ms = [&clock] { return clock += 1000; };
    services.escape_pressed = [] {
        loading_log.push_back("tick");
        return false;
    };
    services.drain_messages = [] {};
    services.clear_all = [] {};
    services.set_viewport = [](const ViewportRect&) {};
    services.draw = [&draws](int, float, int, int, int, int) { ++draws; };
    services.present = [] {};
    services.exit_process = [](int) {};
    const bool finished = DataFile::loading_finished();
    DataFile::set_loading_finished(false);
    LoadingScreen::reset();
    LoadingScreen::set_services(services);
    LoadingScreen::setup(160, 120, 16.0f / 9.0f);
    loading_log.clear();
    draws = 0;

    const SceneList list = {{"A", make_logging_a}, {"B", make_logging_b}};
    make_manager(&list);
    LoadingScreen::reset();
    DataFile::set_loading_finished(finished);

    // A scene's shaders and geometry take their time after its files are
    // read: the screen moves on after each, before the next is made.
    const std::vector<std::string> expected = {"A made", "A initialised", "tick", "B made", "B initialised", "tick"};
    auto at = std::search(loading_log.begin(), loading_log.end(), expected.begin(), expected.end());
    EXPECT_NE(at, loading_log.end()) << testing::PrintToString(loading_log);
    EXPECT_GE(draws, 2);
}

TEST_F(SceneManagerTest, ProductionsThatCannotBePlayedEndTheRun) {
    const SceneList partly_missing = {{"RectRed", scene_test::make_red}, {"Lost", nullptr}, {"Gone", nullptr}};
    EXPECT_FATAL(make_manager(&partly_missing),
                 "Production " + std::to_string(ZemblaSystem::production) +
                     " (Frame loop test) cannot be played: its scenes Lost, Gone are not part of this program");

    const int saved = ZemblaSystem::production;
    ZemblaSystem::production = 6;
    EXPECT_FATAL(make_manager(nullptr), "Unrecognized production Frame loop test");
    ZemblaSystem::production = saved;
}

TEST_F(SceneManagerTest, ResetPutsTheFixedStateBack) {
    make_manager();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDepthFunc(GL_ALWAYS);
    glEnable(GL_SCISSOR_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT3);
    glEnable(GL_FRAMEBUFFER_SRGB);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glLineWidth(3.0f);
    glClearColor(1, 1, 1, 1);
    glColor4f(0.5f, 0.5f, 0.5f, 0.5f);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glActiveTexture(GL_TEXTURE4);
    glBindTexture(GL_TEXTURE_2D, texture);
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    const GLfloat bright[4] = {1, 1, 1, 1};
    glLightfv(GL_LIGHT2, GL_DIFFUSE, bright);

    SceneManager::reset_gl_state();

    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint value = 0;
    glGetIntegerv(GL_BLEND_SRC_RGB, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST_RGB, &value);
    EXPECT_EQ(value, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_TRUE(mask);
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LESS);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT3));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_FRAMEBUFFER_SRGB));
    EXPECT_TRUE(glIsEnabled(GL_MULTISAMPLE));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    GLint modes[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_FILL);
    GLfloat f[4] = {};
    glGetFloatv(GL_LINE_WIDTH, f);
    EXPECT_EQ(f[0], 1.0f);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, f);
    EXPECT_EQ(std::vector<float>(f, f + 4), std::vector<float>(4, 0.0f));
    glGetFloatv(GL_CURRENT_COLOR, f);
    EXPECT_EQ(std::vector<float>(f, f + 4), std::vector<float>(4, 1.0f));
    glGetLightfv(GL_LIGHT2, GL_DIFFUSE, f);
    EXPECT_EQ(std::vector<float>(f, f + 4), std::vector<float>(4, 0.0f));
    glActiveTexture(GL_TEXTURE4);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
    EXPECT_EQ(value, 0);
    SceneManager::reset_gl_state();
    glGetIntegerv(GL_ACTIVE_TEXTURE, &value);
    EXPECT_EQ(value, GL_TEXTURE0);
    glDeleteTextures(1, &texture);
    EXPECT_NO_GL_ERROR();
}

TEST_F(SceneManagerTest, TwoScenesOnTheFirstLayersDrawLetterboxedOneOverTheOther) {
    write_track("ActiveScene1st", 0);  // red everywhere
    write_track("ActiveScene2nd", 1);  // green on the left half
    make_manager();
    manager->frame();
    EXPECT_EQ(manager->get_frame_count(), 1u);
    EXPECT_THAT(window_pixel(40, 60), Near(kGreen));
    EXPECT_THAT(window_pixel(120, 60), Near(kRed));
    EXPECT_THAT(window_pixel(120, kBar), Near(kRed));
    EXPECT_THAT(window_pixel(120, 120 - kBar - 1), Near(kRed));
    for (int y : {0, kBar - 1, 120 - kBar, 119}) {
        EXPECT_THAT(window_pixel(40, y), Near(kBlack)) << y;
        EXPECT_THAT(window_pixel(120, y), Near(kBlack)) << y;
    }
    EXPECT_EQ(scene_test::made_scenes[0]->draws, 1);
    EXPECT_EQ(scene_test::made_scenes[1]->draws, 1);
    EXPECT_EQ(scene_test::made_scenes[2]->draws, 0);
    EXPECT_EQ(events.quits, 0);
    EXPECT_NO_GL_ERROR();
}

TEST_F(SceneManagerTest, InvalidIndicesAreSkippedAndAValidOneMayRepeat) {
    write_track("ActiveScene1st", 1.9f);  // scene 1
    write_track("ActiveScene2nd", 1);     // scene 1 again
    write_track("ActiveScene3rd", 3);     // one past the last scene
    write_track("ActiveScene4rd", std::nanf(""));
    make_manager();
    manager->frame();
    EXPECT_EQ(scene_test::made_scenes[1]->draws, 2);
    EXPECT_EQ(scene_test::made_scenes[2]->draws, 0);
    EXPECT_THAT(window_pixel(40, 60), Near(kGreen));
    EXPECT_THAT(window_pixel(120, 60), Near(kBlack));
}

TEST_F(SceneManagerTest, TheOverlayIsBlendedByItsAlphaOverThePassedPicture) {
    // "ActiveScene1st" keeps its default: scene 0.
    write_track("ActiveScene4rd", 2);  // blue, alpha 0.5, in the middle
    make_manager();
    manager->frame();
    EXPECT_THAT(window_pixel(80, 60), Near(std::vector<int>{128, 0, 128}));
    EXPECT_THAT(window_pixel(10, 60), Near(kRed));
    EXPECT_THAT(window_pixel(80, 5), Near(kBlack));
}

// The window's picture after one frame of red with "ActiveScene4rd" at
// `overlay`, and the overlay's resolve target (target 1) as the frame left it.
struct OverlayFrame {
    std::vector<unsigned char> window;
    std::vector<int> resolve_target;
};

TEST_F(SceneManagerTest, NoOverlaySceneLeavesTheWindowAndTheOverlayTargetsAlone) {
    const auto frame_with_overlay = [this](float overlay) {
        write_track("ActiveScene1st", 0);
        write_track("ActiveScene4rd", overlay);
        make_manager();
        manager->frame();
        OverlayFrame result;
        result.window = test_support::read_pixels(0, 0, 160, 120);
        FBO* resolved = manager->get_fbos()[1];
        resolved->push(false);
        result.resolve_target = window_pixel(5, 5);
        resolved->pop();
        EXPECT_NO_GL_ERROR();
        return result;
    };
    const OverlayFrame none = frame_with_overlay(-1);
    for (float invalid : {3.0f, -2.0f, std::nanf("")}) {
        SCOPED_TRACE(invalid);
        const OverlayFrame skipped = frame_with_overlay(invalid);
        EXPECT_EQ(skipped.window, none.window);
        // The scene's resolve is still there: no overlay clear and resolve
        // over it (they would leave transparent black).
        EXPECT_THAT(skipped.resolve_target, Near(kRed));
    }
    EXPECT_THAT(none.resolve_target, Near(kRed));
    EXPECT_EQ(scene_test::made_scenes[2]->draws, 0);
}

// The overlay is cleared, resolved and blended only within the area its scene
// names: an area that holds all it draws gives the same picture as the whole
// target, a smaller one cuts the overlay to it, and an empty one leaves the
// picture as it is without the overlay.
TEST_F(SceneManagerTest, TheOverlayIsComposedWithinTheAreaItsSceneNames) {
    const auto frame_with_area = [this](std::vector<float> area) {
        write_track("ActiveScene1st", 0);
        write_track("ActiveScene4rd", 2);  // blue, alpha 0.5, from 0.25 to 0.75 each way
        make_manager();
        scene_test::made_scenes[2]->area = area;
        manager->frame();
        EXPECT_NO_GL_ERROR();
        return test_support::read_pixels(0, 0, 160, 120);
    };
    const std::vector<unsigned char> whole = frame_with_area({});
    EXPECT_EQ(frame_with_area({0.25f, 0.25f, 0.75f, 0.75f}), whole);
    EXPECT_EQ(frame_with_area({0.2f, 0.1f, 0.9f, 0.8f}), whole);
    EXPECT_EQ(frame_with_area({-3.0f, -3.0f, 3.0f, 3.0f}), whole) << "an area past the target is cut to it";

    frame_with_area({0.5f, 0.25f, 0.75f, 0.75f});  // the right half of the square
    EXPECT_THAT(window_pixel(100, 60), Near(std::vector<int>{128, 0, 128}));
    EXPECT_THAT(window_pixel(60, 60), Near(kRed));

    write_track("ActiveScene4rd", -1);
    make_manager();
    manager->frame();
    const std::vector<unsigned char> none = test_support::read_pixels(0, 0, 160, 120);
    EXPECT_EQ(frame_with_area({0.5f, 0.5f, 0.5f, 0.9f}), none) << "an empty area";
    EXPECT_EQ(frame_with_area({2.0f, 2.0f, 3.0f, 3.0f}), none) << "an area off the target";
}

TEST_F(SceneManagerTest, PassesDoNotTouchTheOverlay) {
    write_track("ActiveScene1st", 0);
    write_track("ActiveScene4rd", 2);
    write_track("ppFade", 0);       // the whole picture white...
    write_track("ppFadeValue", 1);
    make_manager();
    manager->frame();
    EXPECT_THAT(window_pixel(10, 60), Near(std::vector<int>{255, 255, 255}));
    // ...and the overlay blended over it as it was drawn.
    EXPECT_THAT(window_pixel(80, 60), Near(std::vector<int>{128, 128, 255}));
    EXPECT_THAT(window_pixel(80, 5), Near(kBlack));
}

// Film brightening by 0.5 and Fade halving toward black give different
// pictures of the red scene in the two orders.
struct PassOrderCase {
    float film, fade;
    std::vector<int> expected;
};

class PassOrderTest : public SceneManagerTest, public testing::WithParamInterface<PassOrderCase> {};

TEST_P(PassOrderTest, PassesRunInTheOrderOfTheirTracks) {
    write_track("ActiveScene1st", 0);
    write_track("ppFilm", GetParam().film);
    write_track("ppFilmBrightness", 0.5f);
    write_track("ppFade", GetParam().fade);
    write_track("ppFadeValue", -0.5f);
    make_manager();
    manager->frame();
    EXPECT_THAT(window_pixel(120, 60), Near(GetParam().expected));
    EXPECT_THAT(window_pixel(120, 5), Near(kBlack));
    EXPECT_NO_GL_ERROR();
}

std::string pass_order_case_name(const testing::TestParamInfo<PassOrderCase>& info) {
    static const char* const names[] = {"FilmThenFade", "FadeThenFilm", "TieKeepsListOrder", "FilmAlone"};
    return names[info.index];
}

INSTANTIATE_TEST_SUITE_P(
    FilmAndFade, PassOrderTest,
    testing::Values(PassOrderCase{0, 1, {128, 64, 64}},          // film: (1, .5, .5), fade: halved
                    PassOrderCase{1, 0, {255, 128, 128}},        // fade: (.5, 0, 0), film: +.5
                    PassOrderCase{0.5f, 0.5f, {255, 128, 128}},  // a tie: Fade comes first in the list
                    PassOrderCase{7, -1, {255, 128, 128}}),      // Film alone
    pass_order_case_name);

// Draws a frame with the window's ping-pong partner filled with blue
// beforehand: the window shows the red scene faded to half, and the partner
// keeps its blue, so the one pass drew straight into the window.
void expect_faded_straight_into_window(SceneManager& manager) {
    auto pixel = [](int x, int y) {
        auto p = test_support::read_pixels(x, y, 1, 1);
        return std::vector<int>{p[0], p[1], p[2], p[3]};
    };
    FBO* partner = manager.get_fbos()[2];
    partner->push(false);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    partner->pop();
    manager.frame();
    EXPECT_THAT(pixel(120, 60), Near(std::vector<int>{128, 0, 0, 255}));
    partner->push(false);
    EXPECT_THAT(pixel(5, 5), Near(std::vector<int>{0, 0, 255, 255}));
    partner->pop();
}

TEST_F(SceneManagerTest, OnePassDrawsStraightIntoTheWindowWithoutThePingPongTarget) {
    write_track("ActiveScene1st", 0);
    write_track("ppFade", 0);
    write_track("ppFadeValue", -0.5f);
    make_manager();
    expect_faded_straight_into_window(*manager);
}

TEST_F(SceneManagerTest, PassesThatWouldLeaveThePictureAloneAreNotDrawn) {
    // Radblur without strength first, Blur without rings last, Fade halving
    // toward black between them: only Fade draws, straight into the window.
    write_track("ActiveScene1st", 0);
    write_track("ppRadblur", 0);
    write_track("ppRadblurStrength", 0);
    write_track("ppFade", 1);
    write_track("ppFadeValue", -0.5f);
    write_track("ppBlur", 2);
    write_track("ppBlurScale", 0);
    make_manager();
    expect_faded_straight_into_window(*manager);
    // Fade without a value leaves nothing to draw: the plain copy shows the scene.
    write_track("ppFadeValue", 0);
    make_manager();
    manager->frame();
    EXPECT_THAT(window_pixel(120, 60), Near(kRed));
    EXPECT_NO_GL_ERROR();
}

TEST_F(SceneManagerTest, ResolveAndPingPongTargetsAreOverwrittenWholeWithoutDepth) {
    write_track("ActiveScene1st", 0);
    write_track("ppFilm", 0);
    write_track("ppFilmBrightness", 0.5f);
    write_track("ppFade", 1);
    write_track("ppFadeValue", -0.5f);
    make_manager();
    // Left-overs the frame must not show: it clears neither target.
    for (int i : {1, 2}) {
        FBO* target = manager->get_fbos()[i];
        target->push(false);
        GLint depth = -1;
        glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                              GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &depth);
        EXPECT_EQ(depth, GL_NONE) << "target " << i;
        glClearColor(0, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        target->pop();
    }
    for (int frame = 0; frame < 2; ++frame) {
        manager->frame();
        EXPECT_THAT(window_pixel(120, 60), Near(std::vector<int>{128, 64, 64})) << frame;
    }
    EXPECT_NO_GL_ERROR();
}

TEST_F(SceneManagerTest, AWholeCompositeGoesStraightIntoTheResolveTarget) {
    // Scene 0 fills its target with red: said to be a whole composite, it
    // goes straight into target 1, and the multisampled scene target keeps
    // what it held. Scene 1, green on the left half only, is not one: it
    // still gets the cleared multisampled target, and the right half stays
    // black whatever target 1 held.
    for (const bool composes : {true, false}) {
        SCOPED_TRACE(composes ? "whole composite" : "half");
        write_track("ActiveScene1st", composes ? 0 : 1);
        make_manager();
        scene_test::made_scenes[0]->composes = composes;
        for (int i : {0, 1}) {
            FBO* target = manager->get_fbos()[i];
            target->push(false);
            glClearColor(0, 0, 1, 1);
            glClear(GL_COLOR_BUFFER_BIT);
            target->pop();
        }
        manager->frame();
        EXPECT_THAT(window_pixel(40, 60), Near(composes ? kRed : kGreen));
        EXPECT_THAT(window_pixel(120, 60), Near(composes ? kRed : kBlack));
        // What the scene target holds, resolved.
        FBO* resolved = manager->get_fbos()[1];
        resolved->push(false);
        manager->get_fbos()[0]->blit();
        glBindFramebuffer(GL_READ_FRAMEBUFFER, resolved->get_id());
        const std::vector<unsigned char> right = test_support::read_pixels(120, 60, 1, 1);
        resolved->pop();
        const std::vector<int> kept = composes ? std::vector<int>{0, 0, 255} : std::vector<int>{0, 0, 0};
        EXPECT_EQ(std::vector<int>(right.begin(), right.begin() + 3), kept);
    }
    EXPECT_NO_GL_ERROR();
}

TEST_F(SceneManagerTest, ATurnedSubdivisionBeforeTheKaleidoscopeIsDrawnOnlyWhereTheChainReads) {
    // The kaleidoscope reads one wedge of the turned picture, and the turn
    // reads that wedge turned back: scenes that draw in a scissor box are
    // drawn only there, the subdivision only into the wedge, and the window
    // shows what it shows when every one of them is drawn whole.
    write_track("ActiveScene1st", 0);  // red everywhere
    write_track("ActiveScene2nd", 1);  // green on the left half
    write_track("ppSubdiv", 0);
    write_track("ppSubdivNX", 1);
    write_track("ppSubdivNY", 1);
    write_track("ppSubdivRot", 1.3f);  // the wedge turned upright, across the middle
    write_track("ppKaleidoscope", 1);
    write_track("ppKaleidoscopeDivisions", 6);
    auto frame = [&](bool in_box) {
        make_manager();
        for (int i : {0, 1}) scene_test::made_scenes[i]->in_box = in_box;
        // Blue in the corner far from the wedge and its turn, in the scene
        // target and in the one the subdivision draws into.
        for (int i : {0, 2}) {
            manager->get_fbos()[i]->push(false);
            glClearColor(0, 0, 1, 1);
            glClear(GL_COLOR_BUFFER_BIT);
            manager->get_fbos()[i]->pop();
        }
        manager->frame();
        std::vector<unsigned char> window = test_support::read_pixels(0, 0, 160, 120);
        // What the two targets hold at the corner; the scene target resolved.
        std::vector<int> corners;
        FBO* resolved = manager->get_fbos()[1];
        resolved->push(false);
        manager->get_fbos()[0]->blit();
        glBindFramebuffer(GL_READ_FRAMEBUFFER, resolved->get_id());
        corners.push_back(test_support::read_pixels(5, 5, 1, 1)[2]);
        resolved->pop();
        manager->get_fbos()[2]->push(false);
        corners.push_back(test_support::read_pixels(5, 5, 1, 1)[2]);
        manager->get_fbos()[2]->pop();
        return std::make_pair(window, corners);
    };
    const auto whole = frame(false);
    const auto boxed = frame(true);
    EXPECT_EQ(boxed.first, whole.first);
    EXPECT_EQ(boxed.second, (std::vector<int>{255, 255}));
    // Both scenes show in it.
    int red = 0, green = 0;
    for (size_t i = 0; i < boxed.first.size(); i += 4) {
        red += boxed.first[i] > 200 && boxed.first[i + 1] < 50;
        green += boxed.first[i + 1] > 200 && boxed.first[i] < 50;
    }
    EXPECT_GT(red, 100);
    EXPECT_GT(green, 100);
    EXPECT_NO_GL_ERROR();
}

TEST_F(SceneManagerTest, EveryPassAtNeutralValuesLeavesThePicture) {
    write_track("ActiveScene1st", 0);
    write_track("ActiveScene2nd", 1);
    // The parameters that make a pass leave the picture as it is; a pass
    // missing here is neutral at its defaults.
    const std::map<std::string, std::vector<std::pair<std::string, float>>> neutral = {
        {"Dither", {{"Factor", 0}}},
        {"Blur", {{"Scale", 0}}},
        {"Radblur", {{"Strength", 0}}},
        {"Kaleidoscope", {{"Divisions", 0}}},
        {"K2", {{"Divisions", 0}}},
        {"Subdiv", {{"NX", 1}, {"NY", 1}}},
        {"Noise", {{"Alpha", 0}}},
        {"VHS", {{"Alpha", 0}}},
    };
    // Every pass on, the last row first.
    float order = static_cast<float>(postproc_registry().size());
    for (const PassInfo& row : postproc_registry()) {
        write_track(std::string("pp") + row.name, --order);
        const auto settings = neutral.find(row.name);
        if (settings == neutral.end()) continue;
        for (const auto& param : settings->second) write_track("pp" + settings->first + param.first, param.second);
    }
    make_manager();
    manager->frame();
    for (int x : {0, 30, 79}) EXPECT_THAT(window_pixel(x, 60), Near(kGreen)) << x;
    for (int x : {80, 130, 159}) EXPECT_THAT(window_pixel(x, 60), Near(kRed)) << x;
    for (int y : {kBar, 119 - kBar}) EXPECT_THAT(window_pixel(120, y), Near(kRed)) << y;
    EXPECT_THAT(window_pixel(120, kBar - 1), Near(kBlack));
    EXPECT_NO_GL_ERROR();
}

TEST_F(SceneManagerTest, ResizingFollowsTheWindowAndTheScenesFollowTheTargets) {
    write_track("ActiveScene1st", 0);
    make_manager();
    manager->resize(400, 300);
    EXPECT_EQ(manager->get_render_area().width, 400);
    EXPECT_EQ(manager->get_render_area().height, 225);
    for (FBO* target : manager->get_fbos()) EXPECT_EQ(target->get_height(), 225);
    // A minimised window: the targets keep a pixel instead of failing.
    manager->resize(0, 0);
    EXPECT_EQ(manager->get_render_area().width, 1);
    EXPECT_EQ(manager->get_render_area().height, 1);
    manager->resize(160, 120);
    EXPECT_EQ(manager->get_scene_fbo()->get_height(), 90);
}

TEST_F(SceneManagerTest, AfterTheQuitNothingIsDrawnOrCounted) {
    write_track("ActiveScene1st", 0);
    make_manager();
    ZemblaSystem::quitting = true;
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    manager->frame();
    EXPECT_EQ(manager->get_frame_count(), 0u);
    EXPECT_EQ(scene_test::made_scenes[0]->draws, 0);
    EXPECT_THAT(window_pixel(80, 60), Near(std::vector<int>{0, 0, 255, 255}));
    EXPECT_EQ(events.quits, 0);
}

}  // namespace
