// Frames of "Pelltide" at 1280 x 720 with 4x multisampling on the real
// window, against the frame loop with no scenes and no passes in the same
// run, frame by frame (tidewell_show.h). Its scenes read the notes of its
// music description, so the show runs on its soundtrack (paused, silent)
// rather than the timer. BM_Show spreads 300 frames over the whole show;
// BM_Section spreads 50 over each part of the music: drums alone, with the
// bass, with the keys under the film pass, and the outro. Needs a display.
#include <benchmark/benchmark.h>

#include "tidewell_show.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr int kSamples = 4;
constexpr int kShowFrames = 300;
constexpr int kSectionFrames = 50;

constexpr float kSecondsPerBeat = 60.0f / 112.0f;
constexpr float kShowSeconds = 112.0f * kSecondsPerBeat;

struct Section {
    const char* name;
    float first_beat, end_beat;
};
const Section kSections[] = {{"drums", 0, 32}, {"bass", 32, 64}, {"keys", 64, 96}, {"outro", 96, 112}};

tidewell_show::Show& empty_loop() {
    tidewell_show::open_window(kWidth, kHeight, kSamples);
    static tidewell_show::Show show(nullptr, false);
    return show;
}
tidewell_show::Show& the_show() {
    tidewell_show::open_window(kWidth, kHeight, kSamples);
    static tidewell_show::Show show(*find_production(PRODUCTION_PELLTIDE), true);
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
BENCHMARK(BM_Section)->DenseRange(0, 3)->Iterations(kSectionFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
