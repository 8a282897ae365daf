// Production 3, "Quendle", as a person runs it from its packed archive: the
// setup dialog answered, the character-screen loading bar, the show to the
// end of the song and the end by itself with status 0; and the whole show
// recorded to AVI at 320 x 180, a frame of every section looked at: each
// lit, each unlike the others, the character screens at 4:3 between black
// bars; and no cut between sections black on either side.
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "support/e2e_display.h"
#include "support/show_run.h"
#include "support/test_support.h"

namespace {

using namespace test_support;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

const char* const kTitle = "Quendle";
const char* const kProgram = "zembla-quendle";
constexpr double kSecondsPerBeat = 60.0 / 155.0;

std::string archive() { return binary_path("run/quendle/data.tlx"); }

// The share of lit pixels in columns x0..x1-1 of a 320 x 180 frame.
double lit_share_in(const std::vector<unsigned char>& rgb, int x0, int x1) {
    int lit = 0;
    for (int y = 0; y < 180; ++y)
        for (int x = x0; x < x1; ++x) {
            const unsigned char* p = &rgb[(static_cast<size_t>(y) * 320 + x) * 3];
            lit += p[0] > 64 || p[1] > 64 || p[2] > 64;
        }
    return double(lit) / ((x1 - x0) * 180);
}

TEST(QuendleE2ETest, RecordsTheWholeShowFromTheArchive) {
    ASSERT_TRUE(fs::exists(archive())) << archive() << " is packed by the build";
    VirtualDisplay display(320, 180);
    ASSERT_TRUE(display.ok()) << "Xvfb did not start";
    TempDir work, dir;
    fs::create_symlink(archive(), work.file("data.tlx"));
    Recording recording = record_show(display, kProgram, kTitle, work.path(), dir.file("output.txt"), 600);
    ASSERT_FALSE(recording.parts.empty());
    const double song = probe_duration(source_path("data/music/quendle.ogg"));
    ASSERT_GT(song, 85.0);
    EXPECT_NEAR(recording.total(), song, 1.0 / 30.0);
    EXPECT_EQ(video_size(recording.parts[0]), std::make_pair(320, 180));

    // A frame inside every section, between the moves of its first beats.
    const struct {
        const char* name;
        double beat;
        bool letterboxed;  // a character screen at 4:3
    } sections[] = {
        {"intro-bar", 10.5, true},   {"intro-fire", 20, true}, {"intro-scroll", 42, true},
        {"record", 64.5, true},      {"piano", 110, true},      {"lettering", 156.5, true},
        {"ribbons", 190, true},      {"monitor", 214, false},   {"closing", 225, true},
    };
    std::vector<RecordedFrame> frames;
    std::vector<std::string> labels;
    for (const auto& s : sections) {
        SCOPED_TRACE(s.name);
        RecordedFrame f = frame_at(recording, s.beat * kSecondsPerBeat,
                                   screenshot_path(dir.path(), std::string("quendle-") + s.name + ".png"));
        ASSERT_EQ(f.rgb.size(), 320u * 180 * 3);
        EXPECT_GT(lit_share(f.rgb), 0.01);
        if (s.letterboxed) {
            // The 4:3 screen fills columns 40-279; the bars stay black.
            EXPECT_LT(lit_share_in(f.rgb, 0, 38), 0.001);
            EXPECT_LT(lit_share_in(f.rgb, 282, 320), 0.001);
        } else {
            EXPECT_GT(lit_share_in(f.rgb, 0, 38) + lit_share_in(f.rgb, 282, 320), 0.0);
        }
        frames.push_back(f);
        labels.push_back(s.name);
    }
    expect_frames_differ(frames, labels, 2.0);

    // The cuts show something on both sides: the frames just before and just
    // after the cuts into the record, the lettering and the closing lines,
    // where a reveal or a scroll could leave the screen black.
    for (double beat : {47.9, 48.1, 143.9, 144.1, 219.9, 220.1}) {
        SCOPED_TRACE("beat " + std::to_string(beat));
        RecordedFrame f = frame_at(recording, beat * kSecondsPerBeat,
                                   screenshot_path(dir.path(), "quendle-cut-" + std::to_string(beat) + ".png"));
        ASSERT_EQ(f.rgb.size(), 320u * 180 * 3);
        EXPECT_GT(lit_share(f.rgb), 0.01);
    }
}

TEST(QuendleE2ETest, PlaysFromTheDialogThroughTheLoadingBarToTheEndOfTheSong) {
    ASSERT_TRUE(fs::exists(archive())) << archive() << " is packed by the build";
    VirtualDisplay display;
    ASSERT_TRUE(display.ok()) << "Xvfb did not start";
    TempDir work, dir;
    fs::create_symlink(archive(), work.file("data.tlx"));
    std::unique_ptr<ProgramRun> program =
        start_show(display, kProgram, kTitle, work.path(), dir.file("output.txt"), 240, SetupAnswer::Play);
    ASSERT_TRUE(program);

    // The show: a character screen at 4:3 in the middle of the 16:9 window,
    // lit, with black bars beside it.
    bool show = false;
    auto deadline = Clock::now() + std::chrono::seconds(120);
    for (int n = 0; Clock::now() < deadline && program->running() && !show; ++n) {
        Screenshot shot = take_screenshot(display, screenshot_path(dir.path(), "quendle-play-" + std::to_string(n) + ".png"));
        if (shot.width != VirtualDisplay::kWidth) continue;
        int lit_middle = 0, lit_bars = 0;
        for (int y = 0; y < shot.height; y += 8)
            for (int x = 0; x < shot.width; x += 8) {
                const unsigned char* p = shot.at(x, y);
                const bool lit = p[0] > 64 || p[1] > 64 || p[2] > 64;
                const bool bar = x < shot.width / 8 - 2 || x > shot.width * 7 / 8 + 2;
                (bar ? lit_bars : lit_middle) += lit;
            }
        show = lit_middle > 100 && lit_bars == 0;
    }
    EXPECT_TRUE(show);
    EXPECT_EQ(program->wait(200), 0) << program->output();
    EXPECT_EQ(program->output().find("ERROR:"), std::string::npos) << program->output();
}

}  // namespace
