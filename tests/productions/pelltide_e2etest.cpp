// Production 2, "Pelltide", as a person runs it from its packed archive: the
// setup dialog answered, the logo with its loading bar, the show of drum
// shapes and bass arcs to the end of the song, and the end by itself with
// status 0; the whole show recorded to AVI at 320 x 180, with frames on drum
// hits and between them looked at; and bad note data, which ends the run
// with its message and status 1.
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

    bool bass_sounds_at(float beat) {
        for (bool on : note_states(track("Playfulbass"), beat))
            if (on) return true;
        return false;
    }

    // The first recorded frame from `from_beat` on whose neighbours (a
    // frame either side) show the same shapes and bass as it does, and
    // for which `wanted` holds; its time in seconds, -1 when there is none
    // before `to_beat`.
    template <typename Wanted>
    double steady_frame(float from_beat, float to_beat, Wanted wanted) {
        const double spf = 1.0 / kFps;
        for (double t = from_beat * 60.0 / bpm(); t * bpm() / 60.0 < to_beat; t += spf) {
            auto at = [&](double s) { return std::make_pair(shapes_at(float(s * bpm() / 60.0)), bass_sounds_at(float(s * bpm() / 60.0))); };
            auto here = at(t);
            if (!wanted(here.first, here.second)) continue;
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
    bool white(int x, int y) const { return at(x, y)[0] > 160 && at(x, y)[1] > 160 && at(x, y)[2] > 160; }
    bool red(int x, int y) const { return at(x, y)[0] > 160 && at(x, y)[1] < 80 && at(x, y)[2] < 80; }
    // Any white pixel in the rectangle.
    bool white_in(int x0, int y0, int x1, int y1) const {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (white(x, y)) return true;
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
    // the fade in), one on a kick, one on a snare, one between hits; then
    // one with a bass note and no drum shape.
    Song notes;
    using Shapes = std::array<bool, kDrumShapeCount>;
    const double kick = notes.steady_frame(4, 31, [](const Shapes& s, bool) { return s == Shapes{false, true, false}; });
    const double snare = notes.steady_frame(4, 31, [](const Shapes& s, bool) { return s == Shapes{false, false, true}; });
    const double between = notes.steady_frame(4, 31, [](const Shapes& s, bool) { return s == Shapes{false, false, false}; });
    const double bass = notes.steady_frame(36, 60, [](const Shapes& s, bool b) { return b && s == Shapes{false, false, false}; });
    ASSERT_GT(kick, 0);
    ASSERT_GT(snare, 0);
    ASSERT_GT(between, 0);
    ASSERT_GT(bass, 0);
    auto frame = [&](double seconds, const char* name) {
        RecordedFrame f = frame_at(recording, seconds, screenshot_path(dir.path(), std::string("pelltide-") + name + ".png"));
        EXPECT_EQ(f.rgb.size(), 320u * 180 * 3) << name;
        f.rgb.resize(320u * 180 * 3);
        return f;
    };
    RecordedFrame on_kick = frame(kick, "kick"), on_snare = frame(snare, "snare"), off = frame(between, "between"),
                  on_bass = frame(bass, "bass");

    // On the kick the frame along the border shows (16 pixels in), nothing
    // in the middle; on the snare the red shape fills the middle; between
    // hits the picture is black; a bass note raises an arc above the
    // baseline (135 pixels down) where no shape is.
    Picture k{on_kick.rgb}, s{on_snare.rgb}, b{on_bass.rgb};
    EXPECT_TRUE(k.white_in(14, 80, 19, 100)) << "at " << kick << " s";
    EXPECT_FALSE(k.white(160, 90));
    EXPECT_TRUE(s.red(160, 90)) << "at " << snare << " s";
    EXPECT_FALSE(s.white_in(14, 80, 19, 100));
    EXPECT_LT(lit_share(off.rgb), 0.002) << "at " << between << " s";
    EXPECT_GT(mean_difference(on_kick.rgb, off.rgb), 1.0);
    EXPECT_GT(mean_difference(on_snare.rgb, off.rgb), 10.0);
    EXPECT_TRUE(b.white_in(0, 60, 320, 125)) << "at " << bass << " s";
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
    // emblem; then the show, black with white and red shapes.
    bool logo = false, show = false;
    auto deadline = Clock::now() + std::chrono::seconds(90);
    for (int n = 0; Clock::now() < deadline && program->running() && !(logo && show); ++n) {
        Screenshot shot = take_screenshot(display, screenshot_path(dir.path(), "pelltide-play-" + std::to_string(n) + ".png"));
        if (shot.width != VirtualDisplay::kWidth) continue;
        const unsigned char* emblem = shot.at(640, 288);  // the emblem's middle
        const unsigned char* corner = shot.at(20, 20);
        if (emblem[2] > 200 && emblem[0] < 200 && corner[2] > corner[0]) logo = true;
        if (corner[0] == 0 && corner[1] == 0 && corner[2] == 0 && shot.share_of_white() < 0.2) show = true;
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
