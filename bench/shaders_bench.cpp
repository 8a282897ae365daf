// The full-screen shader scenes at 1280 x 720 with 4x multisampling in the
// real frame loop: each of the seven gallery programs of ShaderToy (its
// "ShaderToyNr" held at the program's number) and NukeSL, NukeBalls,
// NukeFallout and TranceTunnel, each drawn alone as the first layer, against
// the empty frame loop (no scene) in the same run. Every iteration draws one
// frame of each case in turn at the same music time, times spread over a
// minute of beats, so all see the same machine load. Each case reports its
// median milliseconds per frame ("<case>_ms") and that over the empty loop's
// median ("<case>_x"); the table is printed at the end. A frame of 60 Hz is
// 16.7 ms. Needs a display.
//
// ZEMBLA_BENCH_SMOKE=1 (the test command's smoke run) draws one frame of
// each case at 160 x 90: the figures then mean nothing.
#include <GL/glew.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "scenes/scene_fullscreen/nuke_scenes.h"
#include "scenes/scene_fullscreen/trancetunnel.h"
#include "scenes/scene_shadertoy/shadertoy.h"
#include "tidewell_show.h"

namespace {

constexpr int kFrames = 120;
constexpr float kSeconds = 60.0f;

const SceneList kGallery = {{"ShaderToy", make_scene<ShaderToy>}};
const SceneList kTrefoil = {{"NukeSL", make_scene<NukeSL>}};
const SceneList kBalls = {{"NukeBalls", make_scene<NukeBalls>}};
const SceneList kFallout = {{"NukeFallout", make_scene<NukeFallout>}};
const SceneList kTunnel = {{"TranceTunnel", make_scene<TranceTunnel>}};

struct Case {
    std::string name;
    std::unique_ptr<tidewell_show::Show> show;  // null: the empty frame loop
    std::vector<double> ms;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// The scene's own tracks at their defaults, `held` over them.
std::vector<tidewell_show::TrackValue> with_defaults(const SceneTracks& tracks,
                                                     std::vector<tidewell_show::TrackValue> held = {}) {
    for (const SceneTrack& track : tracks)
        if (std::none_of(held.begin(), held.end(), [&](const auto& h) { return h.name == track.name; }))
            held.push_back({track.name, track.value});
    return held;
}

void BM_ShaderScenes(benchmark::State& state) {
    tidewell_show::open_window(bench_smoke::work(1280, 160), bench_smoke::work(720, 90), 4);
    std::vector<Case> cases;
    cases.push_back({"empty", std::make_unique<tidewell_show::Show>(nullptr, false), {}});
    for (size_t i = 0; i < ShaderToy::fragment_files.size(); ++i) {
        const std::string file = ShaderToy::fragment_files[i];
        const std::string stem = file.substr(file.rfind('/') + 1, file.rfind('.') - file.rfind('/') - 1);
        cases.push_back({stem,
                         std::make_unique<tidewell_show::Show>(
                             &kGallery, false,
                             with_defaults(ShaderToy::tracks, {{"ShaderToyNr", static_cast<float>(i)}})),
                         {}});
    }
    cases.push_back(
        {"NukeSL", std::make_unique<tidewell_show::Show>(&kTrefoil, false, with_defaults(NukeSL::tracks)), {}});
    cases.push_back({"NukeBalls", std::make_unique<tidewell_show::Show>(&kBalls, false), {}});
    cases.push_back({"NukeFallout", std::make_unique<tidewell_show::Show>(&kFallout, false), {}});
    cases.push_back({"TranceTunnel", std::make_unique<tidewell_show::Show>(&kTunnel, false), {}});

    // First-use work (shader builds, texture uploads) out of the measurement.
    for (Case& c : cases) c.show->frame_at(0.0f);
    int frame = 0;
    for (auto _ : state) {
        const float seconds = kSeconds * static_cast<float>(frame) / static_cast<float>(kFrames);
        for (Case& c : cases) {
            const auto start = tidewell_show::Clock::now();
            c.show->frame_at(seconds);
            c.ms.push_back(tidewell_show::ms_since(start));
        }
        frame = (frame + 1) % kFrames;
    }
    const double empty_ms = median(cases[0].ms);
    std::printf("\n| case | median ms | x empty | ms over empty |\n|---|---|---|---|\n");
    for (const Case& c : cases) {
        const double ms = median(c.ms);
        state.counters[c.name + "_ms"] = ms;
        if (&c != &cases[0] && empty_ms > 0.0) state.counters[c.name + "_x"] = ms / empty_ms;
        std::printf("| %s | %.2f | %.2f | %.2f |\n", c.name.c_str(), ms, empty_ms > 0.0 ? ms / empty_ms : 0.0,
                    ms - empty_ms);
    }
    if (glGetError() != GL_NO_ERROR) state.SkipWithError("GL error");
}

}  // namespace

BENCHMARK(BM_ShaderScenes)->Iterations(bench_smoke::iterations(kFrames))->Unit(benchmark::kMillisecond)->UseRealTime();
