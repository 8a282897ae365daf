// The music of "Quendle" as committed: its description names the two files
// beside it, the MIDI file's tempo is exactly the production's 155 bpm (the
// note file's tempo wins over the configured one), its tracks give the
// piano's keyboard keys 36 to 59 and the ribbons four bleep keys, the
// modulators load onto those tracks, and the soundtrack lasts as long as the
// notes.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "support/e2e_display.h"
#include "support/test_support.h"
#include "util/music/midi.h"
#include "util/music/music.h"
#include "util/music/music_fixture.h"
#include "util/music/notedata.h"

namespace {

const std::string kFolder = test_support::source_path("data/music/");

MidiNoteData read_notes() {
    static const std::string bytes = test_support::read_file(kFolder + "quendle.mid");
    return MidiNoteData(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), "quendle.mid");
}

const Track& track_named(const NoteData& notes, const std::string& name) {
    for (const Track& t : notes.tracks)
        if (t.name == name) return t;
    throw std::runtime_error("no track " + name);
}

float last_release(const NoteData& notes) {
    float last = 0;
    for (const Track& track : notes.tracks)
        for (const Note& n : track.notes)
            for (float t : n.times) last = std::max(last, std::fabs(t));
    return last;
}

TEST(QuendleMusic, TheNotesCarryTheTempoAndTheTracksTheScenesRead) {
    const MidiNoteData notes = read_notes();
    EXPECT_NEAR(notes.bpm, 155.0f, 0.005f);

    // The piano's notes all fall on the keyboard, and use much of it.
    const Track& piano = track_named(notes, "Old Vinyl Piano");
    std::set<int> keys;
    for (const Note& n : piano.notes) keys.insert(n.key);
    EXPECT_GE(*keys.begin(), 36);
    EXPECT_LE(*keys.rbegin(), 59);
    EXPECT_GE(keys.size(), 10u);

    // Four bleep keys in the order the ribbons are lit by: A, C, E, G.
    const Track& bleep = track_named(notes, "RaveBleep");
    ASSERT_EQ(bleep.notes.size(), 4u);
    const int order[] = {69, 72, 76, 79};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(bleep.notes[i].key, order[i]) << i;

    for (const char* other : {"Chip Bass", "Chip Arp", "Chip Kit"}) EXPECT_FALSE(track_named(notes, other).notes.empty());

    // About 90 seconds of notes.
    const float seconds = last_release(notes) * 60.0f / notes.bpm;
    EXPECT_GT(seconds, 85.0f);
    EXPECT_LT(seconds, 95.0f);
}

TEST(QuendleMusic, TheSoundtrackLastsAsLongAsTheNotes) {
    OggVorbis_File ogg;
    ASSERT_EQ(ov_fopen((kFolder + "quendle.ogg").c_str(), &ogg), 0);
    const double seconds = ov_time_total(&ogg, -1);
    ov_clear(&ogg);
    const MidiNoteData notes = read_notes();
    const float last = last_release(notes) * 60.0f / notes.bpm;
    EXPECT_GT(seconds, last);
    EXPECT_LT(seconds, last + 3.0);
}

class QuendleDescription : public music_test::MusicTest {};

TEST_F(QuendleDescription, LoadsWithModulatorsThatShapeTheIntensities) {
    std::filesystem::create_directories("data/music");
    for (const char* file : {"quendle.xml", "quendle.mid", "quendle.ogg"})
        std::filesystem::copy_file(kFolder + file, std::string("data/music/") + file);
    ZemblaSystem::music_file = "data/music/quendle.xml";
    ZemblaSystem::bpm = 155.0f;
    Music music;
    EXPECT_NEAR(music.get_bpm(), 155.0f, 0.005f);
    ASSERT_EQ(music.get_num_tracks(), 5u);
    // The piano's envelope: a struck chord fades from its peak toward the
    // sustain level while held (the first chord at beat 80).
    const uint32_t piano = 0;
    ASSERT_EQ(music.get_track_name(piano), "Old Vinyl Piano");
    const float struck = music.get_max_intensity(piano, 80.02f);
    const float held = music.get_max_intensity(piano, 81.5f);
    EXPECT_GT(struck, 0.5f);
    EXPECT_LT(held, struck);
    EXPECT_GT(held, 0.0f);
    // The arpeggiator: of a held three-note chord one note at a time.
    const uint32_t arp = 3;
    ASSERT_EQ(music.get_track_name(arp), "Chip Arp");
    const std::vector<float> chord = music.get_note_intensities(arp, 1.1f);
    EXPECT_EQ(std::count_if(chord.begin(), chord.end(), [](float v) { return v > 0.0f; }), 1);
}

}  // namespace
