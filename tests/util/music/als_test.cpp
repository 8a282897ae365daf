// The Live set reader on gzip-compressed sets written in the test: clips,
// loops and keys to notes, and the message of every set it refuses.
#include "note_fixtures.h"
#include "support/test_support.h"
#include "util/data/data.h"
#include "util/music/als.h"

namespace {

using namespace note_fixtures;

class LiveSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_mode_ = DataFile::get_mode();
        DataFile::set_mode(DataFileMode::Plain);
    }
    void TearDown() override { DataFile::set_mode(saved_mode_); }

    AlsNoteData read(const std::string& content) {
        EXPECT_TRUE(write_gzip(dir_.file("song.als"), content));
        return AlsNoteData(dir_.file("song.als"));
    }
    // The set of one track "Lead" with one clip.
    AlsNoteData read_clip(const std::string& clip) { return read(live_set(midi_track("Lead", clip))); }

    std::string path() const { return dir_.file("song.als"); }

private:
    test_support::TempDir dir_;
    int saved_mode_ = 0;
};

TEST_F(LiveSetTest, LoopedClipRepeatsItsNotes) {
    AlsNoteData set = read(live_set(midi_track("Lead", midi_clip(0, 8, "true", 0, 2, key_track(60, {{0, 0.5}, {1, 0.5}}))) +
                                    "<AudioTrack><Name><EffectiveName Value=\"Drums\"/></Name></AudioTrack>"));
    EXPECT_EQ(set.bpm, 128.5f);
    ASSERT_EQ(set.tracks.size(), 1u);
    const Track& lead = set.tracks[0];
    EXPECT_EQ(lead.name, "Lead");
    EXPECT_EQ(lead.num_events, 8u);
    ASSERT_EQ(lead.notes.size(), 1u);
    EXPECT_EQ(lead.notes[0].key, 60);
    EXPECT_EQ(lead.notes[0].name, "C5");
    EXPECT_EQ(lead.notes[0].times, (std::vector<float>{0, -0.5f, 1, -1.5f, 2, -2.5f, 3, -3.5f, 4, -4.5f, 5, -5.5f, 6,
                                                       -6.5f, 7, -7.5f}));
    EXPECT_TRUE(lead.notes[0].velocities.empty());
    for (const CcLane& lane : lead.lanes) EXPECT_TRUE(lane.times.empty());
}

TEST_F(LiveSetTest, PassesOfClips) {
    struct Case {
        const char* name;
        std::string clip;
        std::vector<float> times;  // of key 60
    };
    const Case cases[] = {
        {"unlooped clip ends at its end", midi_clip(8, 16, "false", 0, 4, key_track(60, {{0, 1}, {10, 1}})), {8, -9}},
        {"loop start does not choose the events", midi_clip(0, 8, "true", 1, 3, key_track(60, {{0, 0.5}, {1, 0.5}})),
         {0, -0.5f, 1, -1.5f, 2, -2.5f, 3, -3.5f, 4, -4.5f, 5, -5.5f, 6, -6.5f, 7, -7.5f}},
        {"a pass ends at the first late event", midi_clip(0, 4, "true", 0, 3, key_track(60, {{0, 1}, {5, 1}, {1, 1}})),
         {0, -1, 3, -4}},
        {"True is not true", midi_clip(0, 8, "True", 0, 2, key_track(60, {{0, 0.5}})), {0, -0.5f}},
        {"lengths are not cut", midi_clip(0, 2, "false", 0, 2, key_track(60, {{1, 5}})), {1, -6}},
        // A loop without length plays once instead of for ever.
        {"loop of length 0", midi_clip(0, 8, "true", 2, 2, key_track(60, {{0, 0.5}})), {0, -0.5f}},
        {"loop ending before its start", midi_clip(0, 8, "true", 3, 1, key_track(60, {{0, 0.5}})), {0, -0.5f}},
        {"missing values read 0",
         "<MidiClip><CurrentStart/><CurrentEnd Value=\"4\"/><Loop><LoopStart/><LoopEnd/><LoopOn Value=\"x\"/></Loop>"
         "<Notes><KeyTracks><KeyTrack><Notes><MidiNoteEvent Duration=\"1\"/><MidiNoteEvent Time=\"2\"/></Notes>"
         "<MidiKey Value=\"60\"/></KeyTrack></KeyTracks></Notes></MidiClip>",
         {0, -1, 2, -2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AlsNoteData set = read_clip(c.clip);
        ASSERT_EQ(set.tracks.size(), 1u);
        ASSERT_EQ(set.tracks[0].notes.size(), 1u);
        EXPECT_EQ(set.tracks[0].notes[0].times, c.times);
    }
}

TEST_F(LiveSetTest, KeysAndTracksWithoutPlacedEvents) {
    // Key 64 lies past the clip end; key 62 comes back in the second clip.
    const std::string clips = midi_clip(0, 4, "false", 0, 4, key_track(62, {{5, 1}}) + key_track(64, {{4, 1}}) +
                                                              key_track(60, {{1, 1}})) +
                              midi_clip(4, 8, "false", 0, 4, key_track(62, {{0, 1}}));
    AlsNoteData set = read(live_set(midi_track("Empty", midi_clip(0, 4, "false", 0, 4, key_track(60, {{9, 1}}))) +
                                    midi_track("Lead", clips) + midi_track("NoClips", "")));
    ASSERT_EQ(set.tracks.size(), 1u);
    const Track& lead = set.tracks[0];
    EXPECT_EQ(lead.num_events, 2u);
    ASSERT_EQ(lead.notes.size(), 2u);
    EXPECT_EQ(lead.notes[0].key, 60);
    EXPECT_EQ(lead.notes[0].times, (std::vector<float>{1, -2}));
    EXPECT_EQ(lead.notes[1].key, 62);
    EXPECT_EQ(lead.notes[1].times, (std::vector<float>{4, -5}));

    AlsNoteData no_key = read_clip("<MidiClip><CurrentStart Value=\"0\"/><CurrentEnd Value=\"4\"/><Loop><LoopStart/>"
                                   "<LoopEnd/><LoopOn Value=\"false\"/></Loop><Notes><KeyTracks><KeyTrack><Notes>"
                                   "<MidiNoteEvent Time=\"1\" Duration=\"1\"/></Notes><MidiKey/></KeyTrack>"
                                   "</KeyTracks></Notes></MidiClip>");
    ASSERT_EQ(no_key.tracks.size(), 1u);
    EXPECT_EQ(no_key.tracks[0].notes[0].name, "C0");
}

TEST_F(LiveSetTest, CarriageReturnsAndTempo) {
    std::string set = live_set(midi_track("Lead", midi_clip(0, 4, "false", 0, 4, key_track(60, {{0, 1}}))), "96");
    std::string crlf;
    for (char c : set) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    AlsNoteData read_back = read(crlf);
    EXPECT_EQ(read_back.bpm, 96.0f);
    EXPECT_EQ(read_back.tracks.size(), 1u);
}

TEST_F(LiveSetTest, EndlessLoopsEnd) {
    // Without events a long loop places nothing and stops at once; with
    // events it is refused once it holds too many.
    AlsNoteData empty = read_clip(midi_clip(0, 1e12, "true", 0, 1e-6, "<KeyTrack><MidiKey Value=\"60\"/></KeyTrack>"));
    EXPECT_TRUE(empty.tracks.empty());
    EXPECT_FATAL(read_clip(midi_clip(0, 1e12, "true", 0, 0.001, key_track(60, {{0, 0.0005}}))),
                 "Could not read Live set " + path() + ": more than 1000000 note events");
}

TEST_F(LiveSetTest, RefusedSets) {
    const std::string clip = midi_clip(0, 4, "false", 0, 4, key_track(60, {{0, 1}}));
    struct Case {
        const char* name;
        std::string content;
        std::string message;  // after "Could not read Live set <path>: "
    };
    const Case cases[] = {
        {"no live set", "<Ableton/>", "no element Ableton/LiveSet/MasterTrack/DeviceChain/Mixer"},
        {"no tempo", "<Ableton><LiveSet><MasterTrack><DeviceChain><Mixer/></DeviceChain></MasterTrack></LiveSet></Ableton>",
         "no element Mixer/Tempo/Manual"},
        {"no tracks",
         "<Ableton><LiveSet><MasterTrack><DeviceChain><Mixer><Tempo><Manual Value=\"1\"/></Tempo></Mixer></DeviceChain>"
         "</MasterTrack></LiveSet></Ableton>",
         "no element Ableton/LiveSet/Tracks"},
        {"no track name", live_set("<MidiTrack/>"), "no element MidiTrack/Name/EffectiveName"},
        {"no track name value", live_set("<MidiTrack><Name><EffectiveName/></Name></MidiTrack>"),
         "MidiTrack/Name/EffectiveName has no Value"},
        {"no clip end", live_set(midi_track("Lead", "<MidiClip><CurrentStart Value=\"0\"/></MidiClip>")),
         "no element MidiClip/CurrentEnd"},
        {"no loop", live_set(midi_track("Lead", "<MidiClip><CurrentStart/><CurrentEnd/></MidiClip>")),
         "no element MidiClip/Loop/LoopOn"},
        {"no loop switch value",
         live_set(midi_track("Lead", "<MidiClip><CurrentStart/><CurrentEnd/><Loop><LoopOn/></Loop></MidiClip>")),
         "MidiClip/Loop/LoopOn has no Value"},
        {"no key", live_set(midi_track("Lead", midi_clip(0, 4, "false", 0, 4, "<KeyTrack/>"))), "no element KeyTrack/MidiKey"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FATAL(read(c.content), "Could not read Live set " + path() + ": " + c.message);
    }

    EXPECT_FATAL(read("<Ableton><LiveSet>"),
                 "Could not parse XML from " + path() + ". Error='Error reading Element value.'. Exiting.\n");
    EXPECT_FATAL(read("<Live/>"), "node is NULL");
    EXPECT_FATAL(AlsNoteData(path() + ".missing"),
                 "Could not parse XML from " + path() + ".missing. Error='Failed to open file'. Exiting.\n");
}

}  // namespace
