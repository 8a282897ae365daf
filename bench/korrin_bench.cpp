// Frames of "Orvenhal Korrin System" at 1280 x 720 with 4x multisampling on
// the real window, against the frame loop with no scenes and no passes in
// the same run, frame by frame (tidewell_show.h), on the timer clock at the
// production's 138 bpm. BM_Show spreads 300 frames over the whole show;
// BM_Section spreads 50 over each part of the timeline, to find the slowest.
// ZEMBLA_BENCH_SMOKE=1 draws two frames a case: the same paths with tiny
// work. Needs a display.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "tidewell_show.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr int kSamples = 4;

constexpr float kSecondsPerBeat = 60.0f / 138.0f;
constexpr float kShowBeats = 272.0f;

bool smoke() {
    const char* value = std::getenv("ZEMBLA_BENCH_SMOKE");
    return value && *value && std::string(value) != "0";
}
int show_frames() { return smoke() ? 2 : 300; }
int section_frames() { return smoke() ? 2 : 50; }

struct Section {
    const char* name;
    float first_beat, end_beat;
};
const Section kSections[] = {
    {"gallery+title", 0, 48}, {"white page+trefoil", 48, 64}, {"city", 64, 80},
    {"bunker", 80, 96},       {"balls", 96, 112},             {"explosions", 112, 144},
    {"fallout+film+noise", 144, 176}, {"floor", 176, 208},    {"gallery+balls+VHS", 208, 240},
    {"floor+credits", 240, 272},
};
constexpr int kSectionCount = sizeof(kSections) / sizeof(kSections[0]);

tidewell_show::Show& empty_loop() {
    tidewell_show::open_window(kWidth, kHeight, kSamples);
    static tidewell_show::Show show(nullptr, false);
    return show;
}
tidewell_show::Show& the_show() {
    tidewell_show::open_window(kWidth, kHeight, kSamples);
    static tidewell_show::Show show(*find_production(PRODUCTION_KORRIN), false);
    return show;
}

void BM_Show(benchmark::State& state) {
    tidewell_show::time_against_empty(state, empty_loop(), the_show(), "show", 0.0f, kShowBeats * kSecondsPerBeat,
                                      show_frames());
}

void BM_Section(benchmark::State& state) {
    const Section& section = kSections[state.range(0)];
    state.SetLabel(section.name);
    tidewell_show::time_against_empty(state, empty_loop(), the_show(), "show", section.first_beat * kSecondsPerBeat,
                                      section.end_beat * kSecondsPerBeat, section_frames());
}

}  // namespace

BENCHMARK(BM_Show)->Iterations(show_frames())->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Section)
    ->DenseRange(0, kSectionCount - 1)
    ->Iterations(section_frames())
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
