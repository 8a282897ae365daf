// Frames of "Wembrel - tidewell" at 1280 x 720 with 4x multisampling on the
// real window, against the frame loop with no scenes and no passes in the same
// run, frame by frame. BM_Show spreads 300 frames over the whole show;
// BM_Section spreads 50 over each section of the music, to find the slowest.
// Times are wall-clock milliseconds per frame (the benchmark's own time is
// the pair), each frame finished with glFinish. Needs a display.
#include <benchmark/benchmark.h>

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

// The frame loop with no scenes and no passes, and the show, made once and
// kept for every benchmark.
tidewell_show::Show& empty_loop() {
    tidewell_show::open_window(kWidth, kHeight, kSamples);
    static tidewell_show::Show show(false);
    return show;
}
tidewell_show::Show& the_show() {
    tidewell_show::open_window(kWidth, kHeight, kSamples);
    static tidewell_show::Show show(true);
    return show;
}

void time_against_empty(benchmark::State& state, float from, float to, int frames) {
    tidewell_show::time_against_empty(state, empty_loop(), the_show(), "show", from, to, frames);
}

void BM_Show(benchmark::State& state) { time_against_empty(state, 0.0f, kShowSeconds, kShowFrames); }

void BM_Section(benchmark::State& state) {
    const Section& section = kSections[state.range(0)];
    state.SetLabel(section.name);
    time_against_empty(state, section.first_beat * kSecondsPerBeat, section.end_beat * kSecondsPerBeat,
                       kSectionFrames);
}

}  // namespace

BENCHMARK(BM_Show)->Iterations(kShowFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Section)->DenseRange(0, 5)->Iterations(kSectionFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
