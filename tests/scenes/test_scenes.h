// Scenes made for the frame-loop tests, and a scene manager set up around
// them: a working folder with the pass shaders and a track file for every
// track the manager registers, timer-mode music whose clock moves only when
// the test says, and a render target that stands in for the window.
#pragma once

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "effects/postproc/passes.h"
#include "platform/ticks.h"
#include "scenes.h"
#include "scenes/scene.h"
#include "scenes/scene_tracks.h"
#include "support/gl_context.h"
#include "support/test_support.h"
#include "system/settings_guard.h"
#include "system/window.h"
#include "system/zemblasystem.h"
#include "util/data/data.h"
#include "util/fbo/fbo.h"
#include "util/music/music.h"
#include "util/music/synctrack.h"

namespace scene_test {

// Fills a rectangle of its render target (fractions of the target) with one
// colour, alpha included, by a scissored clear.
class RectScene : public Scene {
public:
    RectScene(float r, float g, float b, float a, float x0 = 0, float y0 = 0, float x1 = 1, float y1 = 1)
        : colour_{r, g, b, a}, rect_{x0, y0, x1, y1} {}

    void init() override { ++inits; }
    void draw() override {
        ++draws;
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        int x0 = static_cast<int>(rect_[0] * viewport[2]);
        int y0 = static_cast<int>(rect_[1] * viewport[3]);
        int x1 = static_cast<int>(rect_[2] * viewport[2]);
        int y1 = static_cast<int>(rect_[3] * viewport[3]);
        // Said to draw in the frame loop's scissor box: it keeps inside it.
        if (in_box && glIsEnabled(GL_SCISSOR_TEST)) {
            GLint box[4];
            glGetIntegerv(GL_SCISSOR_BOX, box);
            x0 = std::max(x0, box[0]), y0 = std::max(y0, box[1]);
            x1 = std::min(x1, box[0] + box[2]), y1 = std::min(y1, box[1] + box[3]);
        }
        glEnable(GL_SCISSOR_TEST);
        glScissor(x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0));
        glClearColor(colour_[0], colour_[1], colour_[2], colour_[3]);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    // As the overlay: the area it names, from these fractions of the target
    // (x0, y0, x1, y1) when set, else the whole target.
    ViewportRect overlay_area() override {
        if (area.empty()) return Scene::overlay_area();
        const int x0 = static_cast<int>(area[0] * width), y0 = static_cast<int>(area[1] * height);
        return {x0, y0, static_cast<int>(area[2] * width) - x0, static_cast<int>(area[3] * height) - y0};
    }

    // Said of a scene that fills its whole target, opaque.
    bool composes_whole_target() const override { return composes; }
    bool draws_in_scissor_box() const override { return in_box; }

    int inits = 0;
    int draws = 0;
    std::vector<float> area;
    bool composes = false;
    bool in_box = false;

private:
    float colour_[4];
    float rect_[4];
};

// The scenes every frame-loop test builds, by index: 0 red on the whole
// target, 1 green on its left half, 2 a half-transparent blue square in the
// middle (the overlay). made_scenes keeps a look at each, which the scene
// manager owns.
inline RectScene* made_scenes[3];
inline std::unique_ptr<Scene> made_scene(int index, std::unique_ptr<RectScene> scene) {
    made_scenes[index] = scene.get();
    return scene;
}
inline std::unique_ptr<Scene> make_red() { return made_scene(0, std::make_unique<RectScene>(1, 0, 0, 1)); }
inline std::unique_ptr<Scene> make_green_left() {
    return made_scene(1, std::make_unique<RectScene>(0, 1, 0, 1, 0, 0, 0.5f, 1));
}
inline std::unique_ptr<Scene> make_blue_overlay() {
    return made_scene(2, std::make_unique<RectScene>(0, 0, 1, 0.5f, 0.25f, 0.25f, 0.75f, 0.75f));
}
inline const SceneList kTestScenes = {
    {"RectRed", make_red}, {"RectGreenLeft", make_green_left}, {"RectBlueOverlay", make_blue_overlay}};

// Every track the manager registers, in order, with its default ("bpm"
// takes the music's tempo, 120 here): the frame loop's, then the passes' from
// their registry (whose names and defaults postproc_tracks_test holds).
inline const std::vector<TrackDefault>& manager_tracks() {
    static const std::vector<TrackDefault> tracks = [] {
        std::vector<TrackDefault> all = {
            {"bpm", 120},
            {"ActiveScene1st", 0}, {"ActiveScene2nd", -1}, {"ActiveScene3rd", -1}, {"ActiveScene4rd", -1},
            {"cameraEyeX", -15}, {"cameraEyeY", -15}, {"cameraEyeZ", -15},
            {"cameraDstX", 0}, {"cameraDstY", 0}, {"cameraDstZ", 0},
            {"cameraUpX", 0}, {"cameraUpY", 1}, {"cameraUpZ", 0}, {"cameraFoV", 45},
        };
        for (const TrackDefault& track : postproc_track_defaults()) all.push_back(track);
        return all;
    }();
    return tracks;
}

// Writes a track file whose one key holds `value` from row 0 on.
inline void write_track(const std::string& name, float value) {
    std::vector<uint8_t> bytes = SyncTrackFile::encode({{0, value, SyncKeyType::Step}});
    std::ofstream("data/sync_tracker/_" + name + ".track", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Writes a track file without keys: the track keeps its registered default.
inline void write_empty_track(const std::string& name) {
    std::vector<uint8_t> empty = SyncTrackFile::encode({});
    std::ofstream("data/sync_tracker/_" + name + ".track", std::ios::binary)
        .write(reinterpret_cast<const char*>(empty.data()), static_cast<std::streamsize>(empty.size()));
}

// A queue that only counts the quits posted to it.
class CountingEvents : public EventSource {
public:
    bool poll(WindowEvent&) override { return false; }
    void post_quit() override { ++quits; }
    int quits = 0;
};

// The working folder, settings and clocks of a scene manager under test.
class SceneManagerTest : public test_support::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        chdir_ = std::make_unique<test_support::ScopedChdir>(dir_.path());
        std::filesystem::create_directories("data/sync_tracker");
        std::filesystem::create_directory_symlink(test_support::source_path("data/effects"), "data/effects");
        // The manager's own font.
        std::filesystem::create_directories("data/common");
        std::filesystem::create_directory_symlink(test_support::source_path("data/common/fonts"),
                                                  "data/common/fonts");
        for (const TrackDefault& track : manager_tracks()) write_empty_track(track.name);
        saved_mode_ = DataFile::get_mode();
        DataFile::set_mode(DataFileMode::Plain);
        ZemblaSystem::width = 160;
        ZemblaSystem::height = 120;
        ZemblaSystem::samples = 4;
        ZemblaSystem::aspect_numerator = 16;
        ZemblaSystem::aspect_denominator = 9;
        ZemblaSystem::music_file = "";
        ZemblaSystem::bpm = 120.0f;
        ZemblaSystem::sync_client = 0;
        ZemblaSystem::get_avi = false;
        ZemblaSystem::quitting = false;
        ZemblaSystem::title = "Frame loop test";
        platform::set_tick_source([this] { return now; });
        test_support::clear_boxes();
    }

    void TearDown() override {
        if (window_) window_->pop();
        window_.reset();
        manager.reset();
        platform::set_tick_source(nullptr);
        DataFile::set_mode(saved_mode_);
        ZemblaSystem::quitting = false;
        chdir_.reset();
    }

    // Builds the manager over `scenes` and binds a target of the window's
    // size where the window's frame buffer would be; again for a second
    // manager in the same test.
    void make_manager(const SceneList* scenes = &kTestScenes) {
        if (window_) window_->pop();
        manager.reset();
        manager = std::make_unique<SceneManager>(scenes, &events);
        window_ = std::make_unique<FBO>(ZemblaSystem::width, ZemblaSystem::height, FBO_TYPE_RGBA8, 0);
        window_->push(true);
    }

    // The manager's sync values from index `first` on are the tracks of
    // `tables`, in order, each read at its default and tracked.
    void expect_scene_tracks(std::initializer_list<const SceneTracks*> tables, size_t first) {
        const std::vector<SyncValue>& values = manager->get_music()->sync_values;
        size_t i = first;
        for (const SceneTracks* table : tables)
            for (const SceneTrack& track : *table) {
                SCOPED_TRACE(track.name);
                ASSERT_LT(i, values.size());
                EXPECT_EQ(values[i].name, track.name);
                EXPECT_FLOAT_EQ(manager->get_music()->get_sync_value(track.name), track.value);
                EXPECT_NE(values[i].track, nullptr) << "tracked";
                ++i;
            }
    }

    // The window's pixel at (x, y) as 0..255 RGBA.
    std::vector<int> window_pixel(int x, int y) {
        auto p = test_support::read_pixels(x, y, 1, 1);
        return {p[0], p[1], p[2], p[3]};
    }

    uint32_t now = 5000;
    CountingEvents events;
    std::unique_ptr<SceneManager> manager;

private:
    test_support::SettingsGuard settings_;
    test_support::TempDir dir_;
    std::unique_ptr<test_support::ScopedChdir> chdir_;
    std::unique_ptr<FBO> window_;
    int saved_mode_ = 0;
};

}  // namespace scene_test
