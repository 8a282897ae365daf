// The music of "Pelltide" as committed: its description names the two files
// beside it, the MIDI file reads without a fault and holds the tracks the
// scenes need, and the soundtrack is as long as the notes.
#include "support/e2e_display.h"
#include "support/test_support.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "util/music/midi.h"
#include "util/music/notedata.h"

namespace {

const std::string kFolder = test_support::source_path("data/music/");

const Track* track_named(const NoteData& notes, const std::string& name) {
    for (const Track& t : notes.tracks)
        if (t.name == name) return &t;
    return nullptr;
}

std::set<int> keys_of(const Track& track) {
    std::set<int> keys;
    for (const Note& n : track.notes) keys.insert(n.key);
    return keys;
}

// The beat of the track's last release.
float last_release(const Track& track) {
    float last = 0;
    for (const Note& n : track.notes)
        for (float t : n.times) last = std::max(last, std::fabs(t));
    return last;
}

TEST(PelltideMusic, TheDescriptionNamesTheSoundtrackAndTheNotes) {
    const std::string xml = test_support::read_file(kFolder + "grovelight_bassintro.xml");
    EXPECT_NE(xml.find("stream_filename=\"grovelight_bassintro.ogg\""), std::string::npos);
    EXPECT_NE(xml.find("notedata_filename=\"grovelight_bassintro.mid\""), std::string::npos);
}

TEST(PelltideMusic, TheNotesHoldTheDrumAndBassTracksTheScenesRead) {
    const std::string bytes = test_support::read_file(kFolder + "grovelight_bassintro.mid");
    ASSERT_FALSE(bytes.empty());
    MidiNoteData notes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), "grovelight_bassintro.mid");
    EXPECT_FLOAT_EQ(notes.bpm, 112.0f);

    const Track* drums = track_named(notes, "Ruff Kit");
    ASSERT_NE(drums, nullptr);
    // Every key that shows a shape, and some that show none.
    std::set<int> keys = keys_of(*drums);
    for (int key : {36, 37, 40, 41, 44, 45, 46}) EXPECT_TRUE(keys.count(key)) << "drum key " << key;
    EXPECT_TRUE(keys.count(38) || keys.count(39) || keys.count(42) || keys.count(43));

    const Track* bass = track_named(notes, "Playfulbass");
    ASSERT_NE(bass, nullptr);
    EXPECT_GE(bass->notes.size(), 6u);
    EXPECT_LE(bass->notes.size(), 12u);
    // The bass enters after the drums: its first press is at least a bar in.
    float first_bass = 1e9f;
    for (const Note& n : bass->notes) first_bass = std::min(first_bass, n.times.front());
    EXPECT_GE(first_bass, 4.0f);

    // Between 45 and 75 seconds of notes.
    const float seconds = std::max(last_release(*drums), last_release(*bass)) * 60.0f / notes.bpm;
    EXPECT_GT(seconds, 45.0f);
    EXPECT_LT(seconds, 75.0f);
}

// The drum scene asks which keys sound: the song's first kick and hi-hat,
// struck at beat 0, must sound from the first frames on.
TEST(PelltideMusic, TheFirstKickAndHiHatSoundFromTheFirstBeat) {
    const std::string bytes = test_support::read_file(kFolder + "grovelight_bassintro.mid");
    MidiNoteData notes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), "grovelight_bassintro.mid");
    Track* drums = nullptr;
    for (Track& t : notes.tracks)
        if (t.name == "Ruff Kit") drums = &t;
    ASSERT_NE(drums, nullptr);
    const std::vector<bool> states = note_states(*drums, 0.1f);
    for (int key : {36, 42}) {
        SCOPED_TRACE(key);
        size_t i = 0;
        while (i < drums->notes.size() && drums->notes[i].key != key) ++i;
        ASSERT_LT(i, drums->notes.size());
        ASSERT_FALSE(drums->notes[i].times.empty());
        EXPECT_EQ(drums->notes[i].times[0], 0.0f);  // struck at beat 0
        EXPECT_GT(std::fabs(drums->notes[i].times[1]), 0.1f);
        EXPECT_TRUE(states[i]);
    }
}

// The drum scene shows a shape while a note that lights it is held (keys
// 36 and 37 the frame, 40, 41 and 45 the red shape, 44 and 46 the X). A
// shape struck again may blink, but when every lit shape lets go at once the
// whole picture goes black for about a frame, which reads as a dropped frame:
// between two lit moments the shapes are dark for an eighth of a beat or
// more (two frames at 30 frames a second), or not at all.
TEST(PelltideMusic, TheDrumShapesNeverAllBlinkAtOnce) {
    const std::string bytes = test_support::read_file(kFolder + "grovelight_bassintro.mid");
    MidiNoteData notes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), "grovelight_bassintro.mid");
    const Track* drums = track_named(notes, "Ruff Kit");
    ASSERT_NE(drums, nullptr);
    const std::set<int> lighting = {36, 37, 40, 41, 44, 45, 46};
    std::vector<std::pair<float, float>> lit;  // press and release beats
    for (const Note& n : drums->notes) {
        if (!lighting.count(n.key)) continue;
        for (size_t i = 0; i + 1 < n.times.size(); i += 2) lit.emplace_back(n.times[i], std::fabs(n.times[i + 1]));
    }
    ASSERT_FALSE(lit.empty());
    std::sort(lit.begin(), lit.end());
    float lit_until = lit.front().second;
    for (const auto& [press, release] : lit) {
        if (press > lit_until) {
            EXPECT_GE(press - lit_until, 0.125f) << "every shape dark from beat " << lit_until << " to " << press;
        }
        lit_until = std::max(lit_until, release);
    }
}

TEST(PelltideMusic, TheSoundtrackLastsAsLongAsTheNotes) {
    OggVorbis_File ogg;
    ASSERT_EQ(ov_fopen((kFolder + "grovelight_bassintro.ogg").c_str(), &ogg), 0);
    const double seconds = ov_time_total(&ogg, -1);
    ov_clear(&ogg);
    const std::string bytes = test_support::read_file(kFolder + "grovelight_bassintro.mid");
    MidiNoteData notes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), "grovelight_bassintro.mid");
    const float last = last_release(*track_named(notes, "Ruff Kit")) * 60.0f / notes.bpm;
    EXPECT_GT(seconds, last);
    EXPECT_LT(seconds, last + 3.0);
}

}  // namespace
