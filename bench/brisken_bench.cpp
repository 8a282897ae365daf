// Frames of "Wembrel - brisken" at 1280 x 720 with 4x multisampling on the
// real window, against the frame loop with no scenes and no passes in the same
// run, frame by frame (tidewell_show.h). The show runs on its soundtrack
// (paused, silent), so beats fall where the timeline puts them and the tunnel
// reads the music's level. BM_Show spreads 300 frames over the whole show;
// BM_Section spreads 40 over each section, to find the slowest. With
// ZEMBLA_BENCH_SMOKE=1 every case draws one frame pair only. Needs a display.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

#include "tidewell_show.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr int kSamples = 4;

bool smoke() {
    const char* value = std::getenv("ZEMBLA_BENCH_SMOKE");
    return value && std::strcmp(value, "1") == 0;
}
const int kShowFrames = smoke() ? 1 : 300;
const int kSectionFrames = smoke() ? 1 : 40;

constexpr float kSecondsPerBeat = 60.0f / 75.0f;
constexpr float kShowSeconds = 188.0f * kSecondsPerBeat;

struct Section {
    const char* name;
    float first_beat, end_beat;
};
// The sections of the timeline, by the scene that leads each.
const Section kSections[] = {
    {"disco", 0, 24},     {"tree", 24, 40},   {"sphere", 40, 56},  {"tunnel", 56, 80},
    {"fireworks", 80, 100}, {"cubes", 100, 120}, {"rings", 120, 144}, {"droplets", 144, 164},
    {"outro", 164, 188},
};
constexpr int kSectionCount = sizeof(kSections) / sizeof(kSections[0]);

tidewell_show::Show& empty_loop() {
    tidewell_show::open_window(kWidth, kHeight, kSamples);
    static tidewell_show::Show show(nullptr, false);
    return show;
}
tidewell_show::Show& the_show() {
    tidewell_show::open_window(kWidth, kHeight, kSamples);
    static tidewell_show::Show show(*find_production(PRODUCTION_BRISKEN), true);
    return show;
}

// Until every scene of its list is part of the program there is no show.
bool playable(benchmark::State& state) {
    if (production_playable(PRODUCTION_BRISKEN)) return true;
    state.SkipWithError("brisken has scenes that are not part of the program");
    return false;
}

void BM_Show(benchmark::State& state) {
    if (!playable(state)) return;
    tidewell_show::time_against_empty(state, empty_loop(), the_show(), "show", 0.0f, kShowSeconds, kShowFrames);
}

void BM_Section(benchmark::State& state) {
    const Section& section = kSections[state.range(0)];
    state.SetLabel(section.name);
    if (!playable(state)) return;
    tidewell_show::time_against_empty(state, empty_loop(), the_show(), "show", section.first_beat * kSecondsPerBeat,
                                      section.end_beat * kSecondsPerBeat, kSectionFrames);
}

}  // namespace

BENCHMARK(BM_Show)->Iterations(kShowFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Section)
    ->DenseRange(0, kSectionCount - 1)
    ->Iterations(kSectionFrames)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
