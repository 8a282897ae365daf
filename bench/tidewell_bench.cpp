// Frames of "Wembrel - tidewell" at 1280 x 720 with 4x multisampling on the
// real window, against the frame loop with no scenes and no passes in the same
// run. BM_Show spreads 300 frames over the whole show; BM_Section spreads 50
// over each section of the music, to find the slowest. Times are wall-clock
// milliseconds per frame, each frame finished with glFinish. Needs a display.
#include <benchmark/benchmark.h>

#include <chrono>

#include "tidewell_show.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr int kSamples = 4;
constexpr int kShowFrames = 300;
constexpr int kSectionFrames = 50;

constexpr float kSecondsPerBeat = 60.0f / 128.0f;
constexpr float kShowSeconds = 226.0f * kSecondsPerBeat;

struct Section {
    const char* name;
    float first_beat, end_beat;
};
const Section kSections[] = {
    {"intro", 0, 32},   {"build", 32, 64},  {"drop", 64, 128},
    {"break", 128, 160}, {"drop2", 160, 192}, {"outro", 192, 226},
};

double empty_ms_per_frame = 0.0;

// Runs the state's frames at evenly spread times from `from` to `to`
// seconds, `frames` times apart and round again; milliseconds per frame.
double time_frames(benchmark::State& state, tidewell_show::Show& show, float from, float to, int frames) {
    show.frame_at(from);  // first-use work out of the measurement
    int frame = 0;
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        show.frame_at(from + (to - from) * static_cast<float>(frame) / static_cast<float>(frames));
        frame = (frame + 1) % frames;
    }
    std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / static_cast<double>(state.iterations());
}

void report(benchmark::State& state, double ms_per_frame) {
    state.counters["ms_per_frame"] = ms_per_frame;
    if (empty_ms_per_frame > 0.0) state.counters["over_empty_ms"] = ms_per_frame - empty_ms_per_frame;
}

void BM_EmptyFrameLoop(benchmark::State& state) {
    tidewell_show::open_window(kWidth, kHeight, kSamples);
    tidewell_show::Show show(false);
    empty_ms_per_frame = time_frames(state, show, 0.0f, kShowSeconds, kShowFrames);
    report(state, empty_ms_per_frame);
}

void BM_Show(benchmark::State& state) {
    tidewell_show::open_window(kWidth, kHeight, kSamples);
    tidewell_show::Show show(true);
    report(state, time_frames(state, show, 0.0f, kShowSeconds, kShowFrames));
}

void BM_Section(benchmark::State& state) {
    const Section& section = kSections[state.range(0)];
    state.SetLabel(section.name);
    tidewell_show::open_window(kWidth, kHeight, kSamples);
    tidewell_show::Show show(true);
    report(state, time_frames(state, show, section.first_beat * kSecondsPerBeat,
                              section.end_beat * kSecondsPerBeat, kSectionFrames));
}

}  // namespace

BENCHMARK(BM_EmptyFrameLoop)->Iterations(kShowFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Show)->Iterations(kShowFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Section)->DenseRange(0, 5)->Iterations(kSectionFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
