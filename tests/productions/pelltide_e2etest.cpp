// Production 2, "Pelltide", as a person runs it from its packed archive: the
// setup dialog answered, the logo with its loading bar, the show of drum
// shapes and bass arcs to the end of the song, and the end by itself with
// status 0; the whole show recorded to AVI at 320 x 180, with frames picked
// from the notes (which drum shapes are up, which bass note sounds) looked
// at; and bad note data, which ends the run with its message and status 1.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "scenes/scene_musicvectors/drum_shapes.h"
#include "support/e2e_display.h"
#include "support/show_run.h"
#include "support/test_support.h"
#include "util/music/midi.h"
#include "util/music/notedata.h"

namespace {

using namespace test_support;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

const char* const kTitle = "Pelltide";
const char* const kProgram = "zembla-pelltide";
const char* const kMidi = "data/music/grovelight_bassintro.mid";
constexpr double kFps = 30.0;

std::string archive() { return binary_path("run/pelltide/data.tlx"); }

// The notes of the song, as the program reads them.
class Song {
public:
    Song() : bytes_(read_file(source_path(kMidi))),
             notes_(reinterpret_cast<const uint8_t*>(bytes_.data()), bytes_.size(), kMidi) {}

    float bpm() const { return notes_.bpm; }
    const std::string& bytes() const { return bytes_; }

    // The drum shapes shown at a beat.
    std::array<bool, kDrumShapeCount> shapes_at(float beat) {
        Track& drums = track("Ruff Kit");
        std::vector<uint8_t> keys;
        for (const Note& n : drums.notes) keys.push_back(n.key);
        return drum_shapes_shown(keys, note_states(drums, beat));
    }

    bool bass_sounds_at(float beat) { return bass_arc_at(beat) >= 0; }

    // The arc of the bass line raised at a beat (the index of the sounding
    // bass note in the note list), -1 when none is.
    int bass_arc_at(float beat) {
        const std::vector<bool> states = note_states(track("Playfulbass"), beat);
        for (size_t i = 0; i < states.size(); ++i)
            if (states[i]) return static_cast<int>(i);
        return -1;
    }

    // The first recorded frame from `from_beat` on whose neighbours (a
    // frame either side) show the same shapes and bass arc as it does, and
    // for which `wanted` holds; its time in seconds, -1 when there is none
    // before `to_beat`.
    template <typename Wanted>
    double steady_frame(float from_beat, float to_beat, Wanted wanted) {
        const double spf = 1.0 / kFps;
        for (double t = from_beat * 60.0 / bpm(); t * bpm() / 60.0 < to_beat; t += spf) {
            auto at = [&](double s) { return std::make_pair(shapes_at(float(s * bpm() / 60.0)), bass_arc_at(float(s * bpm() / 60.0))); };
            auto here = at(t);
            if (!wanted(here.first, here.second >= 0)) continue;
            bool steady = true;
            for (int d = -1; d <= 1; ++d) steady = steady && at(t + d * spf) == here;
            if (steady) return t;
        }
        return -1.0;
    }

private:
    Track& track(const std::string& name) {
        for (Track& t : notes_.tracks)
            if (t.name == name) return t;
        throw std::runtime_error("no track " + name);
    }

    std::string bytes_;
    MidiNoteData notes_;
};

// Pixels of a frame of the 320 x 180 recording, y from the top.
struct Picture {
    const std::vector<unsigned char>& rgb;
    int width = 320;
    const unsigned char* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
    int luma(int x, int y) const { return (299 * at(x, y)[0] + 587 * at(x, y)[1] + 114 * at(x, y)[2]) / 1000; }
    // A line (white, tinted a little or much): bright.
    bool lit(int x, int y) const { return luma(x, y) > 140; }
    // Black, give or take the film grain.
    bool dark(int x, int y) const { return luma(x, y) < 24; }
    // A fill: well away from black, and far from grey.
    bool coloured(int x, int y) const {
        const unsigned char* c = at(x, y);
        const int high = std::max({c[0], c[1], c[2]}), low = std::min({c[0], c[1], c[2]});
        return high > 90 && high - low > 50;
    }
    // Any lit pixel in the rectangle.
    bool lit_in(int x0, int y0, int x1, int y1) const {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (lit(x, y)) return true;
        return false;
    }
};

TEST(PelltideE2ETest, RecordsTheWholeShowFromTheArchive) {
    ASSERT_TRUE(fs::exists(archive())) << archive() << " is packed by the build";
    VirtualDisplay display(320, 180);
    ASSERT_TRUE(display.ok()) << "Xvfb did not start";
    TempDir work, dir;
    fs::create_symlink(archive(), work.file("data.tlx"));
    Recording recording = record_show(display, kProgram, kTitle, work.path(), dir.file("output.txt"), 400);
    ASSERT_FALSE(recording.parts.empty());

    // As long as the soundtrack, to within a frame, at the display's size.
    const double song = probe_duration(source_path("data/music/grovelight_bassintro.ogg"));
    ASSERT_GT(song, 45.0);
    EXPECT_NEAR(recording.total(), song, 1.0 / kFps);
    EXPECT_EQ(video_size(recording.parts[0]), std::make_pair(320, 180));

    // Frames picked from the notes: in the drums' bars before the bass (past
    // the fade in), one with the border frame alone (held from a kick), one
    // with the snare's shape alone, one with the corner X; then one with the
    // snare's shape alone and a bass note that raises one of the arcs left
    // of it. The drum notes hold their shapes between hits, so no frame of
    // these bars is without one.
    Song notes;
    using Shapes = std::array<bool, kDrumShapeCount>;
    const double kick = notes.steady_frame(4, 31, [](const Shapes& s, bool) { return s == Shapes{false, true, false}; });
    const double snare = notes.steady_frame(4, 31, [](const Shapes& s, bool) { return s == Shapes{false, false, true}; });
    const double hats = notes.steady_frame(4, 31, [](const Shapes& s, bool) { return s[kCornerX]; });
    // The arc must lie clear of the snare's shape (x 96 to 224): one of the
    // first three or the last.
    double bass = -1;
    int arc = -1;
    for (float from = 36; from < 64 && bass < 0;) {
        const double t = notes.steady_frame(from, 64, [](const Shapes& s, bool b) { return b && s == Shapes{false, false, true}; });
        if (t < 0) break;
        const int a = notes.bass_arc_at(float(t * notes.bpm() / 60.0));
        if (a <= 2 || a == 7) {
            bass = t;
            arc = a;
        }
        from = float(t * notes.bpm() / 60.0) + 0.05f;
    }
    ASSERT_GT(kick, 0);
    ASSERT_GT(snare, 0);
    ASSERT_GT(hats, 0);
    ASSERT_GT(bass, 0);
    auto frame = [&](double seconds, const char* name) {
        RecordedFrame f = frame_at(recording, seconds, screenshot_path(dir.path(), std::string("pelltide-") + name + ".png"));
        EXPECT_EQ(f.rgb.size(), 320u * 180 * 3) << name;
        f.rgb.resize(320u * 180 * 3);
        return f;
    };
    RecordedFrame on_kick = frame(kick, "kick"), on_snare = frame(snare, "snare"), on_hats = frame(hats, "hats"),
                  on_bass = frame(bass, "bass");

    // The border frame alone: lit 16 pixels in from the left, the middle
    // dark. The snare's shape alone: its fill colours the middle, the border
    // is dark. The X: lit on its upper left stroke, which runs from (32, 18)
    // to (96, 54). Each part of the show tints the white lines and the red
    // fill, so the checks ask for light and colour, not for given colours.
    Picture k{on_kick.rgb}, s{on_snare.rgb}, h{on_hats.rgb}, b{on_bass.rgb};
    EXPECT_TRUE(k.lit_in(14, 80, 19, 100)) << "at " << kick << " s";
    EXPECT_TRUE(k.dark(160, 90)) << "at " << kick << " s";
    EXPECT_TRUE(s.coloured(160, 90)) << "at " << snare << " s";
    EXPECT_FALSE(s.lit_in(14, 80, 19, 100)) << "at " << snare << " s";
    EXPECT_TRUE(h.lit_in(60, 33, 68, 39)) << "at " << hats << " s";
    EXPECT_GT(mean_difference(on_kick.rgb, on_snare.rgb), 10.0);
    // The raised arc: the bass line's arcs share the left 80 % of the width
    // (32 pixels each), the baseline 135 pixels down, the tops at 67.
    const int left = arc * 32;
    EXPECT_TRUE(b.lit_in(left + 8, 70, left + 24, 125)) << "arc " << arc << " at " << bass << " s";
}

TEST(PelltideE2ETest, PlaysFromTheDialogThroughTheLogoToTheEndOfTheSong) {
    ASSERT_TRUE(fs::exists(archive())) << archive() << " is packed by the build";
    VirtualDisplay display;
    ASSERT_TRUE(display.ok()) << "Xvfb did not start";
    TempDir work, dir;
    fs::create_symlink(archive(), work.file("data.tlx"));
    std::unique_ptr<ProgramRun> program =
        start_show(display, kProgram, kTitle, work.path(), dir.file("output.txt"), 200, SetupAnswer::Play);
    ASSERT_TRUE(program);

    // The logo shows while loading: the night-blue field with the pale blue
    // emblem; then the show, black (under a little film grain) with light
    // and coloured shapes.
    bool logo = false, show = false;
    auto deadline = Clock::now() + std::chrono::seconds(90);
    for (int n = 0; Clock::now() < deadline && program->running() && !(logo && show); ++n) {
        Screenshot shot = take_screenshot(display, screenshot_path(dir.path(), "pelltide-play-" + std::to_string(n) + ".png"));
        if (shot.width != VirtualDisplay::kWidth) continue;
        const unsigned char* emblem = shot.at(640, 288);  // the emblem's middle
        const unsigned char* corner = shot.at(20, 20);
        if (emblem[2] > 200 && emblem[0] < 200 && corner[2] > corner[0]) logo = true;
        if (corner[0] < 24 && corner[1] < 24 && corner[2] < 24 && shot.share_of_white() < 0.2) show = true;
    }
    EXPECT_TRUE(logo);
    EXPECT_TRUE(show);
    EXPECT_EQ(program->wait(150), 0) << program->output();
    EXPECT_EQ(program->output().find("ERROR:"), std::string::npos) << program->output();
}

TEST(PelltideE2ETest, BadNoteDataEndsTheRunWithItsMessage) {
    ASSERT_TRUE(fs::exists(archive())) << archive() << " is packed by the build";
    VirtualDisplay display;
    ASSERT_TRUE(display.ok()) << "Xvfb did not start";
    Song notes;
    std::string renamed = notes.bytes();
    const size_t at = renamed.find("Ruff Kit");
    ASSERT_NE(at, std::string::npos);
    renamed.replace(at, 8, "Ruff Kat");
    const struct {
        const char* what;
        bool remove;
        std::string midi;
        std::string message;
    } cases[] = {
        {"the description names a MIDI file the archive lacks", true, "", std::string("Failed to load ") + kMidi},
        {"the MIDI file has no drum track", false, renamed, "Could not find track Ruff Kit"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir work, dir;
        if (c.remove)
            write_archive_without(archive(), kMidi, work.path());
        else
            write_archive_replacing(archive(), kMidi, std::vector<uint8_t>(c.midi.begin(), c.midi.end()), work.path());
        std::unique_ptr<ProgramRun> run =
            start_show(display, kProgram, kTitle, work.path(), dir.file("output.txt"), 300, SetupAnswer::Play);
        ASSERT_TRUE(run);
    
        std::string caption =
            answer_error_box(display, *run, 60, screenshot_path(dir.path(), "pelltide-error-box.png"));
        EXPECT_EQ(caption.rfind("Error in file ", 0), 0u) << caption << "\n" << run->output();
        EXPECT_EQ(run->wait(20), 1) << run->output();
        const std::string output = run->output();
        const size_t error = output.find("ERROR: ");
        ASSERT_NE(error, std::string::npos) << output;
        EXPECT_NE(output.find(c.message, error), std::string::npos) << c.message << "\n" << output;
    }
}

}  // namespace
