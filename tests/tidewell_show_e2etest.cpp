// The default production, "Wembrel - tidewell", recorded whole: the program
// is started as a person would, on a virtual display of 320 x 180 (so the
// dialog offers that one resolution), in a folder that holds nothing but the
// production's data.tlx (archive-read mode, the default), and "Get avi" is
// pressed. The run must end by itself with status 0, the recording must last
// as long as the soundtrack, and frames from each section of the music must
// show something, each different from the others.
#include <filesystem>
#include <string>
#include <vector>

#include "support/e2e_display.h"
#include "support/show_run.h"
#include "support/test_support.h"

namespace {

using namespace test_support;

constexpr int kWidth = 320;
constexpr int kHeight = 180;
constexpr double kFps = 30.0;
constexpr double kSecondsPerBeat = 60.0 / 128.0;

TEST(TidewellShowE2ETest, RecordsTheWholeShowFromTheArchive) {
    const std::string archive = test_support::binary_path("run/tidewell/data.tlx");
    ASSERT_TRUE(std::filesystem::exists(archive)) << archive << " is packed by the build";
    VirtualDisplay display(kWidth, kHeight);
    ASSERT_TRUE(display.ok()) << "Xvfb did not start";
    test_support::TempDir work, dir;
    std::filesystem::create_symlink(archive, work.file("data.tlx"));
    Recording recording =
        record_show(display, "zembla", "Wembrel - tidewell", work.path(), dir.file("output.txt"), 280);
    ASSERT_FALSE(recording.parts.empty());

    // The log names the file written and tells the progress about once a
    // second, not a line a frame; its last line is the song's end.
    const std::string log = read_file(dir.file("output.txt"));
    EXPECT_NE(log.find("Dumping to video file Wembrel - tidewell.01.avi\n"), std::string::npos) << log;
    size_t lines = 0, last = std::string::npos;
    for (size_t at = log.find("Recorded frame "); at != std::string::npos; at = log.find("Recorded frame ", at + 1))
        ++lines, last = at;
    ASSERT_GE(lines, 1u) << log;
    EXPECT_LT(lines, 400u) << "a line a frame?";
    const std::string end = "Recorded frame 3180 of 3180 (100% of the song), ";
    EXPECT_EQ(log.compare(last, end.size(), end), 0) << log.substr(last);

    // As long as the soundtrack, to within one frame.
    double song = probe_duration(test_support::source_path("data/music/Krestel_-_Tidewell.mp3"));
    ASSERT_GT(song, 90.0);
    EXPECT_NEAR(recording.total(), song, 1.0 / kFps);
    EXPECT_EQ(video_size(recording.parts[0]), std::make_pair(kWidth, kHeight));

    // One frame from the middle of each section: intro, build, drop, break,
    // second drop, outro.
    const double beats[] = {20, 56, 100, 150, 180, 206};
    std::vector<RecordedFrame> frames;
    std::vector<std::string> labels;
    for (double beat : beats) {
        labels.push_back("beat " + std::to_string(int(beat)));
        std::string png = test_support::screenshot_path(dir.path(), "tidewell-beat-" + std::to_string(int(beat)) + ".png");
        frames.push_back(frame_at(recording, beat * kSecondsPerBeat, png));
        ASSERT_EQ(frames.back().rgb.size(), size_t(kWidth) * kHeight * 3) << "beat " << beat;
        EXPECT_GT(lit_share(frames.back().rgb), 0.01) << "beat " << beat << " is black";
    }
    expect_frames_differ(frames, labels, 3.0);
}

}  // namespace
