// Frame costs as multiples of the renderer's floor at 1280 x 720 with 4x
// multisampling: the least a frame of this engine can do, in raw GL in the
// same process (clear a multisampled target with its depth buffer, resolve
// it, draw it to the window, swap; render_floor.h). Every iteration draws one frame of each case in turn, so all
// see the same machine load: the floor, the floor with one more full-screen
// hop through a second target (what one pass costs at best), the engine's
// empty frame loop, the frame loop with each pass alone at its defaults, and
// a frame of the default show "Wembrel - tidewell" at times spread over the
// whole show. Each case reports its median frame over the floor's median
// ("<case>_x"); the floor's median milliseconds is "floor_ms". The table is
// printed at the end. Needs a display.
#include <GL/glew.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "effects/postproc/passes.h"
#include "system/window.h"
#include "tidewell_show.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr int kSamples = 4;
constexpr int kFrames = 120;
// The default show's length in beats; its tempo is its production row's.
constexpr float kShowBeats = 226.0f;

struct Case {
    std::string name;
    std::function<void(float seconds)> frame;
    std::vector<double> ms;
};

void BM_FloorTable(benchmark::State& state) {
    tidewell_show::open_window(kWidth, kHeight, kSamples);
    render_floor::Floor& floor = tidewell_show::floor();
    tidewell_show::Show empty(nullptr, false);
    std::vector<std::unique_ptr<tidewell_show::Show>> passes;
    std::vector<Case> cases;
    cases.push_back({"floor", [&](float) { floor.frame(0); }, {}});
    cases.push_back({"floor_hop", [&](float) { floor.frame(1); }, {}});
    cases.push_back({"empty", [&](float seconds) { empty.frame_at(seconds); }, {}});
    for (const PassInfo& pass : postproc_registry()) {
        passes.push_back(std::make_unique<tidewell_show::Show>(
            nullptr, false, std::vector<tidewell_show::TrackValue>{{std::string("pp") + pass.name, 0.0f}}));
        tidewell_show::Show* show = passes.back().get();
        cases.push_back({pass.name, [show](float seconds) { show->frame_at(seconds); }, {}});
    }
    tidewell_show::Show show(true);
    cases.push_back({"show", [&](float seconds) { show.frame_at(seconds); }, {}});

    // First-use work (shader builds, texture uploads) out of the measurement.
    for (Case& c : cases) c.frame(0.0f);
    const float show_seconds = kShowBeats * 60.0f / find_production("tidewell")->bpm;
    int frame = 0;
    for (auto _ : state) {
        const float seconds =
            show_seconds * static_cast<float>(frame) / static_cast<float>(kFrames);
        for (Case& c : cases) {
            const auto start = tidewell_show::Clock::now();
            c.frame(seconds);
            c.ms.push_back(tidewell_show::ms_since(start));
        }
        frame = (frame + 1) % kFrames;
    }
    const double floor_ms = render_floor::median(cases[0].ms);
    state.counters["floor_ms"] = floor_ms;
    std::printf("\n| case | median ms | x floor |\n|---|---|---|\n");
    for (const Case& c : cases) {
        const double ms = render_floor::median(c.ms);
        if (&c != &cases[0]) state.counters[c.name + "_x"] = ms / floor_ms;
        std::printf("| %s | %.2f | %.2f |\n", c.name.c_str(), ms, ms / floor_ms);
    }
    if (glGetError() != GL_NO_ERROR) state.SkipWithError("GL error");
}

}  // namespace

BENCHMARK(BM_FloorTable)->Iterations(bench_smoke::iterations(kFrames))->Unit(benchmark::kMillisecond)->UseRealTime();
