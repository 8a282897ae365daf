// The two scenes of "Pelltide" on a real context, drawn into a 320 x 180
// target (a quarter of their 1280 x 720 drawing area) from note data made
// in the test, with the music clock set to chosen beats: the drum shapes
// show while their drums sound, the bass line's arcs rise while their notes
// sound, and a missing note track ends the run with its message.
#include "note_scene_test.h"

#include <memory>

#include "scenes/scene_musicvectornotes/musicvectornotes.h"
#include "scenes/scene_musicvectors/musicvectors.h"

namespace {

using test_support::Frame;

class PelltideScenesTest : public scene_test::NoteSceneTest {
protected:
    void SetUp() override {
        NoteSceneTest::SetUp();
        notes.tracks.resize(2);
        Track& drums = notes.tracks[0];
        drums.name = "Ruff Kit";
        play(drums, 36, 1, 2);  // kick: the frame
        play(drums, 40, 3, 4);  // snare: the red shape
        play(drums, 44, 5, 6);  // hi-hat: the corner X
        play(drums, 38, 7, 8);  // lights nothing
        play(drums, 42, 7, 8);  // lights nothing
        Track& bass = notes.tracks[1];
        bass.name = "Playfulbass";
        play(bass, 33, 1, 2);
        play(bass, 40, 3, 4);
        play(bass, 45, 5, 6);
        use_notes();
    }
};

using scene_test::kHeight;
using scene_test::kWidth;

// Probes with y from the top, in pixels of the 320 x 180 target.
test_support::Rgba top(const Frame& f, int x, int y) { return f.at(x, kHeight - 1 - y); }
bool white(const test_support::Rgba& p) { return p.r == 255 && p.g == 255 && p.b == 255; }
bool red(const test_support::Rgba& p) { return p.r == 255 && p.g == 0 && p.b == 0; }

TEST_F(PelltideScenesTest, DrumShapesShowWhileTheirDrumsSound) {
    std::unique_ptr<MusicVectors> scene = made_scene<MusicVectors>();
    struct Case {
        const char* name;
        float beat;
        bool frame, snare, corner_x;
    };
    const Case cases[] = {
        {"before any note", 0.5f, false, false, false},
        {"the kick", 1.5f, true, false, false},
        {"between hits", 2.5f, false, false, false},
        {"the snare", 3.5f, false, true, false},
        {"the hi-hat", 5.5f, false, false, true},
        {"drums that light nothing", 7.5f, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Frame f = frame_at(*scene, c.beat, std::string("pelltide-drums-") + std::to_string(int(c.beat * 10)));
        // The frame runs 16 pixels in from the left border; the red shape
        // fills the middle under its white outline (96 pixels from the left
        // edge, a quarter of 384); the X's first stroke passes (64, 36).
        EXPECT_EQ(white(top(f, 16, 90)), c.frame);
        EXPECT_EQ(red(top(f, 160, 90)), c.snare);
        EXPECT_EQ(white(top(f, 96, 90)), c.snare);
        EXPECT_EQ(white(top(f, 64, 36)), c.corner_x);
        if (!c.frame && !c.snare && !c.corner_x) {
            EXPECT_EQ(f.brightest(), 0);
        }
    }
}

TEST_F(PelltideScenesTest, BassArcsRiseWhileTheirNotesSound) {
    testing::internal::CaptureStdout();
    std::unique_ptr<MusicVectorNotes> scene = made_scene<MusicVectorNotes>();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "luts: 3\nstates: 3\n");
    // Three notes: arcs end at 256, 512 and 768 units (64, 128, 192 pixels)
    // on the baseline at 540 (135 pixels); a raised arc's top is at 270
    // (67 pixels).
    struct Case {
        const char* name;
        float beat;
        bool first_raised, second_raised;
    };
    const Case cases[] = {
        {"nothing sounds", 0.5f, false, false},
        {"the first note", 1.5f, true, false},
        {"the second note", 3.5f, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Frame f = frame_at(*scene, c.beat, std::string("pelltide-bass-") + std::to_string(int(c.beat * 10)));
        EXPECT_EQ(white(top(f, 32, 67)), c.first_raised);
        EXPECT_EQ(white(top(f, 96, 67)), c.second_raised);
        // The close runs back along the baseline under every arc; nothing
        // lies right of the last arc.
        EXPECT_TRUE(white(top(f, 32, 135)));
        EXPECT_TRUE(white(top(f, 160, 135)));
        EXPECT_EQ(top(f, 250, 135).brightest(), 0);
        EXPECT_EQ(f.brightest_in_rows(kHeight - 63, kHeight), 0);  // nothing above a raised top
    }
}

TEST_F(PelltideScenesTest, AMissingNoteTrackEndsTheRunWithItsName) {
    notes.tracks[0].name = "Other Kit";
    notes.tracks[1].name = "Otherbass";
    std::unique_ptr<MusicVectors> drums = made_scene<MusicVectors>();
    EXPECT_FATAL(drums->draw(), "Could not find track Ruff Kit");  // asked first thing
    EXPECT_FATAL(made_scene<MusicVectorNotes>(), "Could not find track Playfulbass");
}

}  // namespace
