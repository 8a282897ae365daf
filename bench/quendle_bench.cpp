// Frames of "Quendle" at 1280 x 720 with 4x multisampling on the real
// window, against the frame loop with no scenes and no passes in the same
// run, frame by frame (tidewell_show.h). Its piano, ribbons and note monitor
// read the notes of its music description, so the show runs on its
// soundtrack (paused, silent) rather than the timer. BM_Show spreads 232
// frames over the whole show, one a beat; BM_Section spreads 40 over each
// scene's part. With ZEMBLA_BENCH_SMOKE set, each case draws one frame (a
// check that it runs, not a figure). Needs a display.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "tidewell_show.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr int kSamples = 4;

int frames(int wanted) { return std::getenv("ZEMBLA_BENCH_SMOKE") ? 1 : wanted; }
const int kShowFrames = frames(232);
const int kSectionFrames = frames(40);

constexpr float kSecondsPerBeat = 60.0f / 155.0f;
constexpr float kShowSeconds = 232.0f * kSecondsPerBeat;

struct Section {
    const char* name;
    float first_beat, end_beat;
};
const Section kSections[] = {{"intro", 0, 48},       {"record", 48, 80},   {"piano", 80, 144},
                             {"lettering", 144, 176}, {"ribbons", 176, 208}, {"monitor", 208, 220},
                             {"closing", 220, 232}};

tidewell_show::Show& empty_loop() {
    tidewell_show::open_window(kWidth, kHeight, kSamples);
    static tidewell_show::Show show(nullptr, false);
    return show;
}
tidewell_show::Show& the_show() {
    tidewell_show::open_window(kWidth, kHeight, kSamples);
    static tidewell_show::Show show(*find_production(PRODUCTION_QUENDLE), true);
    return show;
}

void BM_Show(benchmark::State& state) {
    tidewell_show::time_against_empty(state, empty_loop(), the_show(), "show", 0.0f, kShowSeconds, kShowFrames);
}

void BM_Section(benchmark::State& state) {
    const Section& section = kSections[state.range(0)];
    state.SetLabel(section.name);
    tidewell_show::time_against_empty(state, empty_loop(), the_show(), "show", section.first_beat * kSecondsPerBeat,
                                      section.end_beat * kSecondsPerBeat, kSectionFrames);
}

}  // namespace

BENCHMARK(BM_Show)->Iterations(kShowFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Section)->DenseRange(0, 6)->Iterations(kSectionFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
