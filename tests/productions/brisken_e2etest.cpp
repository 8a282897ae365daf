// Production 1, "Wembrel - brisken", recorded whole as a person would: the
// program started on a virtual display of 320 x 180 (so the dialog offers
// that one resolution) in a folder that holds nothing but the production's
// data.tlx, and "Get avi" pressed. The run must end by itself with status 0,
// the recording must last as long as the soundtrack, and a frame from each
// section of the show must be lit and differ from the others.
#include <filesystem>
#include <string>
#include <vector>

#include "scenes/production_scenes.h"
#include "support/e2e_display.h"
#include "support/show_run.h"
#include "support/test_support.h"
#include "system/productions.h"
#include "system/zemblasystem.h"

namespace {

using namespace test_support;
namespace fs = std::filesystem;

const char* const kTitle = "Wembrel - brisken";
constexpr int kWidth = 320;
constexpr int kHeight = 180;
constexpr double kFps = 30.0;
constexpr double kSecondsPerBeat = 60.0 / 75.0;

TEST(BriskenE2ETest, RecordsTheWholeShowFromTheArchive) {
    if (!production_playable(production_id("brisken"))) GTEST_SKIP() << "not all of its scenes are part of the program";
    const std::string archive = binary_path("run/brisken/data.tlx");
    ASSERT_TRUE(fs::exists(archive)) << archive << " is packed by the build";
    VirtualDisplay display(kWidth, kHeight);
    ASSERT_TRUE(display.ok()) << "Xvfb did not start";
    TempDir work, dir;
    fs::create_symlink(archive, work.file("data.tlx"));
    Recording recording = record_show(display, "zembla-brisken", kTitle, work.path(), dir.file("output.txt"), 900);
    ASSERT_FALSE(recording.parts.empty());

    // As long as the soundtrack, to within a frame, at the display's size.
    const double song = probe_duration(source_path("data/music/Krestel_-_Brisken.mp3"));
    ASSERT_GT(song, 145.0);
    EXPECT_NEAR(recording.total(), song, 1.0 / kFps);
    EXPECT_EQ(video_size(recording.parts[0]), std::make_pair(kWidth, kHeight));

    // A frame from each section: the disco floor (discs, then rings and
    // spots), the growing tree, the particle sphere, the tunnel, fireworks
    // over the floor, the cubes, the glow rings, the rings around the grown
    // tree, the droplets, and the floor under the credits.
    const double beats[] = {12, 20, 34, 50, 68, 86, 110, 126, 138, 154, 176};
    std::vector<RecordedFrame> frames;
    std::vector<std::string> labels;
    for (double beat : beats) {
        labels.push_back("beat " + std::to_string(int(beat)));
        const std::string png = screenshot_path(dir.path(), "brisken-beat-" + std::to_string(int(beat)) + ".png");
        frames.push_back(frame_at(recording, beat * kSecondsPerBeat, png));
        ASSERT_EQ(frames.back().rgb.size(), size_t(kWidth) * kHeight * 3) << "beat " << beat;
        EXPECT_GT(lit_share(frames.back().rgb), 0.01) << "beat " << beat << " is black";
    }
    expect_frames_differ(frames, labels, 3.0);
}

}  // namespace
