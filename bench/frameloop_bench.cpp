// Frame loop cost: 300 frames of the real scene manager at 1280x720 with 4x
// multisampling into a window on the display (Xvfb in practice; set DISPLAY),
// (a) with no scene and no pass, so a frame is clearing, resolving and the
// plain letter-boxed draw, and (b) with all ten post-processing passes on at
// their default parameters. Each case reports its median frame as a
// multiple of the renderer's floor (render_floor.h) measured frame by frame
// in the same run.
//
// Run from anywhere: the benchmark works in a temporary folder with the
// source tree's pass shaders and fonts and a track file for every
// frame-loop track.
#include <GL/glew.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>
#include <unistd.h>

#include "effects/postproc/passes.h"
#include "platform/heap.h"
#include "render_floor.h"
#include "scenes.h"
#include "smoke.h"
#include "system/window.h"
#include "system/zemblasystem.h"
#include "util/data/data.h"
#include "util/music/synctrack.h"

namespace {

constexpr int kFrames = 300;

// Quits go nowhere: the benchmark runs frames itself.
class NoEvents : public EventSource {
public:
    bool poll(WindowEvent&) override { return false; }
    void post_quit() override {}
};

void make_window_once() {
    static bool made = false;
    if (made) return;
    platform::keep_freed_heap();  // as the program does
    ZemblaSystem::width = 1280;
    ZemblaSystem::height = 720;
    ZemblaSystem::fullscreen = 0;
    ZemblaSystem::vsync = 0;
    ZemblaSystem::samples = 4;
    create_window();
    glewExperimental = GL_TRUE;
    glewInit();
    while (glGetError() != GL_NO_ERROR) {
    }
    made = true;
}

void write_track(const std::string& name, float value, bool keyed) {
    std::vector<SyncKey> keys;
    if (keyed) keys.push_back({0, value, SyncKeyType::Step});
    std::vector<uint8_t> bytes = SyncTrackFile::encode(keys);
    std::ofstream("data/sync_tracker/_" + name + ".track", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A working folder for one case: shaders linked in, every track at its
// default except the scene and pass switches.
class BenchFolder {
public:
    explicit BenchFolder(bool passes_on) {
        path_ = std::filesystem::temp_directory_path() / ("zembla-frameloop-bench-" + std::to_string(getpid()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_ / "data/sync_tracker");
        // The pass shaders, and the overlay's font in data/common.
        for (const char* folder : {"data/effects", "data/common"})
            std::filesystem::create_directory_symlink(std::filesystem::path(ZEMBLA_SOURCE_DIR) / folder,
                                                      path_ / folder);
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
        // Every track the scene manager registers at its default, but no
        // scene, and the passes on in registry order or off.
        for (const std::string& name : manager_track_names()) write_track(name, 0, false);
        write_track("ActiveScene1st", -1, true);
        float order = 0;
        for (const PassInfo& pass : postproc_registry())
            write_track(std::string("pp") + pass.name, passes_on ? order++ : -1.0f, true);
    }
    ~BenchFolder() {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(path_);
    }

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

// Each iteration draws one frame of the renderer's floor (render_floor.h)
// and one of the frame loop, so that both see the same load; reports the
// floor's median ("floor_ms") and the frame loop's median frame as a
// multiple of it ("frame_x").
void run_frames(benchmark::State& state, bool passes_on) {
    make_window_once();
    DataFile::set_mode(DataFileMode::Plain);
    ZemblaSystem::music_file = "";
    ZemblaSystem::sync_client = 0;
    ZemblaSystem::get_avi = false;
    ZemblaSystem::quitting = false;
    BenchFolder folder(passes_on);
    NoEvents events;
    SceneList no_scenes;
    auto manager = std::make_unique<SceneManager>(&no_scenes, &events);
    static render_floor::Floor floor(ZemblaSystem::width, ZemblaSystem::height, ZemblaSystem::samples);
    manager->start();
    manager->frame();  // builds the plain program
    floor.frame();
    glFinish();

    std::vector<double> floor_ms, frame_ms;
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        auto start = Clock::now();
        floor.frame();
        floor_ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        start = Clock::now();
        manager->frame();
        glFinish();
        frame_ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    const double floor_median = render_floor::median(floor_ms);
    state.counters["floor_ms"] = floor_median;
    if (floor_median > 0.0) state.counters["frame_x"] = render_floor::median(frame_ms) / floor_median;
    if (glGetError() != GL_NO_ERROR) state.SkipWithError("GL error");
}

void BM_FrameNoSceneNoPass(benchmark::State& state) { run_frames(state, false); }
void BM_FrameAllTenPasses(benchmark::State& state) { run_frames(state, true); }

BENCHMARK(BM_FrameNoSceneNoPass)->Iterations(bench_smoke::iterations(kFrames))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FrameAllTenPasses)->Iterations(bench_smoke::iterations(kFrames))->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
