// Production 5, "Orvenhal Korrin System", recorded whole from its packed
// archive as a person would: the setup dialog answered with "Get avi" on a
// display of 320 x 180, the show to the end of the song, and the end by
// itself with status 0. The recording lasts as long as the soundtrack, and a
// frame from the middle of each part of the timeline shows something, each
// different from the others.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/e2e_display.h"
#include "support/show_run.h"
#include "support/test_support.h"

namespace {

using namespace test_support;
namespace fs = std::filesystem;

const char* const kTitle = "Orvenhal Korrin System";
constexpr double kFps = 30.0;
constexpr double kSecondsPerBeat = 60.0 / 138.0;

TEST(KorrinE2ETest, RecordsTheWholeShowFromTheArchive) {
    const std::string archive = binary_path("run/korrin/data.tlx");
    ASSERT_TRUE(fs::exists(archive)) << archive << " is packed by the build";
    VirtualDisplay display(320, 180);
    ASSERT_TRUE(display.ok()) << "Xvfb did not start";
    TempDir work, dir;
    fs::create_symlink(archive, work.file("data.tlx"));
    Recording recording = record_show(display, "zembla-korrin", kTitle, work.path(), dir.file("output.txt"), 600);
    ASSERT_FALSE(recording.parts.empty());

    const double song = probe_duration(source_path("data/music/orvenhal-korrin-system-15.mp3"));
    ASSERT_GT(song, 110.0);
    // To within two frames: the length ffprobe reads from the MP3 counts the
    // encoder's padding at its end.
    EXPECT_NEAR(recording.total(), song, 2.0 / kFps);
    EXPECT_EQ(video_size(recording.parts[0]), std::make_pair(320, 180));

    // The middle of each part: gallery under the title, white page with the
    // trefoil, city, bunker radio, road sign, balls, explosions, fallout,
    // floor, gallery interlude under VHS, balls interlude, floor under the
    // credits.
    const struct {
        double beat;
        const char* part;
    } parts[] = {
        {22, "gallery"}, {58, "trefoil"},  {74, "city"},  {85, "radio"},    {93, "sign"},    {104.5, "balls"},
        {126, "blast"},  {158, "fallout"}, {190, "floor"}, {213, "vhs"}, {232.5, "balls2"}, {252, "credits"},
    };
    std::vector<RecordedFrame> frames;
    std::vector<std::string> labels;
    for (const auto& p : parts) {
        labels.push_back(p.part);
        frames.push_back(frame_at(recording, p.beat * kSecondsPerBeat,
                                  screenshot_path(dir.path(), std::string("korrin-") + p.part + ".png")));
        ASSERT_EQ(frames.back().rgb.size(), 320u * 180 * 3) << p.part;
        EXPECT_GT(lit_share(frames.back().rgb), 0.02) << p.part << " is black";
    }
    expect_frames_differ(frames, labels, 3.0);
}

}  // namespace
