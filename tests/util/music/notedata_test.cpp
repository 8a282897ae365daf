// The note records and the queries on one track: which notes sound, which
// keys they are, the controller values, and the intensities that the
// modulators shape from each key's last press and release.
#include <cmath>
#include <tuple>

#include "support/test_support.h"
#include "util/music/modulators/adsr.h"
#include "util/music/modulators/arp.h"
#include "util/music/modulators/lfo.h"
#include "util/music/notedata.h"

namespace {

// Records the arguments of its last call; its value is 1.
struct Probe : Modulator {
    float value(float bpm_, float beat_, float last_off_, float last_on_) override {
        ++calls;
        bpm = bpm_;
        beat = beat_;
        last_off = last_off_;
        last_on = last_on_;
        return 1.0f;
    }
    int calls = 0;
    float bpm = 0, beat = 0, last_off = 0, last_on = 0;
};

Track track_with(std::initializer_list<std::pair<uint8_t, std::vector<float>>> notes) {
    Track track;
    for (const auto& n : notes) track.note_for_key(n.first).times = n.second;
    return track;
}

TEST(NoteName, PitchAndOctaveFromZero) {
    const std::pair<int, const char*> cases[] = {{0, "C0"},   {11, "B0"},  {49, "C#4"}, {60, "C5"},
                                                 {61, "C#5"}, {69, "A5"},  {127, "G10"}, {255, "D#21"}};
    for (const auto& c : cases) EXPECT_EQ(note_name(static_cast<uint8_t>(c.first)), c.second);
}

TEST(TrackRecord, DefaultsAndCopiesShareTheModulators) {
    Track track;
    EXPECT_EQ(track.volume, 0.78125f);
    EXPECT_EQ(track.pan, 0.5f);
    EXPECT_EQ(track.num_events, 0u);
    for (const CcLane& lane : track.lanes) EXPECT_TRUE(lane.times.empty() && lane.values.empty());

    LFO lfo(LFO::Sine, 1, 1, 4, false);
    track.modulators.push_back(&lfo);
    Note& note = track.note_for_key(64);
    EXPECT_EQ(note.name, "E5");
    EXPECT_EQ(note.state, -1);
    EXPECT_EQ(&track.note_for_key(64), &note);

    Track copy = track;
    copy.modulators[0]->rate = 3.0f;
    EXPECT_EQ(track.modulators[0]->rate, 3.0f);
    copy.notes[0].times.push_back(1.0f);
    EXPECT_TRUE(track.notes[0].times.empty());
}

TEST(NoteStates, AnEventAtTheBeatHasNotHappenedYet) {
    Track track = track_with({{60, {1.0f, -2.0f}}});
    const std::pair<float, bool> cases[] = {{0.5f, false}, {1.0f, false}, {1.5f, true}, {2.0f, true}, {2.5f, false}};
    for (const auto& c : cases) EXPECT_EQ(note_states(track, c.first)[0], c.second) << c.first;
    EXPECT_EQ(track.notes[0].state, 0);
}

TEST(NoteStates, PressAtZeroSoundsForBothQueries) {
    // A press at beat 0 is stored as +0.0; like any press it sounds once
    // the beat is past it, for the state query as for the intensities.
    Track track = track_with({{60, {0.0f, -1.0f}}});
    const std::pair<float, bool> cases[] = {{0.0f, false}, {0.5f, true}, {1.0f, true}, {1.5f, false}};
    for (const auto& c : cases) EXPECT_EQ(note_states(track, c.first)[0], c.second) << c.first;
    EXPECT_EQ(track.notes[0].state, 0);
    EXPECT_EQ(note_intensities(track, 120, 0.5f)[0], 1.0f);
}

TEST(NoteStates, UnreleasedPress) {
    Track track = track_with({{62, {1.0f, -2.0f, 3.0f}}});
    // The last press without a release: silent for the state query, held
    // for the intensities.
    EXPECT_EQ(note_states(track, 4.0f), (std::vector<bool>{false}));
    EXPECT_EQ(note_intensities(track, 120, 4.0f), (std::vector<float>{1.0f}));
    EXPECT_EQ(track.notes[0].state, -1);
    note_states(track, 3.5f);
    EXPECT_EQ(track.notes[0].state, -1);  // j is the number of entries: not sounding
    note_states(track, 1.5f);
    EXPECT_EQ(track.notes[0].state, 0);
}

TEST(NoteQueries, ReleaseAtBeatZeroIsARelease) {
    // Released at beat 0 (stored as -0.0), pressed at 0.5, released at 1.0.
    Track track = track_with({{60, {-0.0f, 0.5f, -1.0f}}});
    const std::tuple<float, bool, float> cases[] = {{0.25f, false, 0.0f}, {0.75f, true, 1.0f}, {1.5f, false, 0.0f}};
    for (const auto& [beat, sounds, intensity] : cases) {
        SCOPED_TRACE(beat);
        EXPECT_EQ(note_states(track, beat)[0], sounds);
        EXPECT_EQ(note_intensities(track, 120, beat)[0], intensity);
    }
    EXPECT_EQ(track.notes[0].state, 1);
}

TEST(NoteIntensities, LastPressAndReleaseOfOverlappingNotes) {
    // Two overlapping notes of one key, as a Live set stores them.
    Track track = track_with({{60, {1.0f, -2.0f, 1.5f, -2.5f}}});
    Probe probe;
    track.modulators.push_back(&probe);
    struct Case {
        float beat, intensity, last_off, last_on;
    };
    const Case cases[] = {
        {1.7f, 1.0f, -1.0f, 1.0f},  // the press at 1.5 is not yet seen
        {2.2f, 1.0f, 2.0f, 1.5f},
        {3.0f, 1.0f, 2.5f, 1.5f},  // the probe gives 1 whether held or not
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.beat);
        EXPECT_EQ(note_intensities(track, 133, c.beat)[0], c.intensity);
        EXPECT_EQ(probe.last_off, c.last_off);
        EXPECT_EQ(probe.last_on, c.last_on);
        EXPECT_EQ(probe.bpm, 133);
        EXPECT_EQ(probe.beat, c.beat);
    }
    // Later presses during a hold do not move its start.
    Track stacked = track_with({{60, {1.0f, 1.5f, -2.0f}}});
    stacked.modulators.push_back(&probe);
    note_intensities(stacked, 120, 1.8f);
    EXPECT_EQ(probe.last_on, 1.0f);
    EXPECT_EQ(probe.last_off, -1.0f);
}

TEST(NoteIntensities, NegativeBeatConsultsNoModulator) {
    Track track = track_with({{60, {0.0f, -1.0f}}, {61, {}}});
    Probe probe;
    track.modulators.push_back(&probe);
    EXPECT_EQ(note_intensities(track, 120, -0.5f), (std::vector<float>{0.0f, 0.0f}));
    EXPECT_EQ(probe.calls, 0);
}

TEST(NoteIntensities, ArpeggiatorKeepsOneHeldKey) {
    // Keys 64, 60 and 67 held from beat 2; key 72 released before.
    Track track = track_with({{64, {2.0f, -6.0f}}, {72, {0.5f, -1.0f}}, {60, {2.0f, -6.0f}}, {67, {2.0f, -6.0f}}});
    Arp arp(Arp::UpDown, 1, 1, 8, false);
    track.modulators.push_back(&arp);
    const std::pair<float, std::vector<float>> cases[] = {
        {2.2f, {1, 0, 0, 0}}, {2.7f, {0, 0, 1, 0}}, {3.1f, {0, 0, 0, 1}},
        {3.6f, {0, 0, 1, 0}}, {4.1f, {1, 0, 0, 0}}, {6.5f, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) EXPECT_EQ(note_intensities(track, 120, c.first), c.second) << c.first;

    Track silent = track_with({{60, {1.0f, -2.0f}}});
    silent.modulators.push_back(&arp);
    EXPECT_EQ(note_intensities(silent, 120, 3.0f), std::vector<float>{0.0f});
}

TEST(NoteIntensities, ModulatorsMultiplyInOrder) {
    Track track = track_with({{60, {1.0f, -3.0f}}});
    ADSR env(1, ADSR::Linear, 1, ADSR::Linear, 0.5f, 2, ADSR::Linear);
    LFO saw(LFO::Saw, -1, 2, 4, false);
    track.modulators = {&env, &saw};
    EXPECT_FLOAT_EQ(note_intensities(track, 120, 1.5f)[0], 0.5f * 0.5f);
    EXPECT_FLOAT_EQ(note_intensities(track, 120, 2.5f)[0], 0.75f * 1.5f);
    EXPECT_FLOAT_EQ(note_intensities(track, 120, 3.5f)[0], 0.0f);  // the saw is silent once released
}

TEST(ControllerValues, LastChangeAtOrBeforeTheBeat) {
    Track track;
    track.lanes[1].times = {1.0f, 3.0f};
    track.lanes[1].values = {10, 20};
    const std::pair<float, int> cases[] = {{0.5f, -1}, {1.0f, 10}, {2.9f, 10}, {3.0f, 20}, {100.0f, 20}};
    for (const auto& c : cases) EXPECT_EQ(cc_value(track, 1, c.first), c.second) << c.first;
    EXPECT_EQ(cc_value(track, 2, 5.0f), -1);
    EXPECT_EQ(cc_value(track, 200, 5.0f), -1);  // no such controller
}

TEST(ControllerValues, ChooseTheRateAndTheRateStays) {
    Track track = track_with({{60, {0.0f}}});
    track.lanes[1].times = {2.0f};
    track.lanes[1].values = {0};
    LFO saw(LFO::Saw, 1, 1, 2, false);  // rate 2
    saw.add_range(0, 63, 1, 4, false);  // value 0 selects a quarter
    track.modulators.push_back(&saw);
    EXPECT_FLOAT_EQ(note_intensities(track, 120, 1.5f)[0], 1.5f);
    EXPECT_FLOAT_EQ(note_intensities(track, 120, 2.5f)[0], 0.5f);
    EXPECT_EQ(saw.rate, 1.0f);
    note_intensities(track, 120, 1.0f);  // before the change: the rate stays
    EXPECT_EQ(saw.rate, 1.0f);
}

TEST(NoteLookup, KeysInFirstEventOrder) {
    Track track = track_with({{64, {1.0f}}, {60, {2.0f}}, {67, {3.0f}}});
    EXPECT_EQ(note_lookup(track), (std::vector<uint8_t>{64, 60, 67}));
}

}  // namespace
