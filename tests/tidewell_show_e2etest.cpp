// The default production, "Wembrel - tidewell", recorded whole: the program
// is started as a person would, on a virtual display of 320 x 180 (so the
// dialog offers that one resolution), in a folder that holds nothing but the
// production's data.tlx (archive-read mode, the default), and "Get avi" is
// pressed. The run must end by itself with status 0, the recording must last
// as long as the soundtrack, and frames from each section of the music must
// show something, each different from the others.
#include <chrono>
#include <cmath>
#include <cstdlib>
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

    ProgramRun::Options options;
    options.program = test_support::binary_path("zembla");
    options.working_dir = work.path();
    options.output_file = dir.file("output.txt");
    options.display = &display;
    options.timeout_seconds = 280;
    auto started = std::chrono::steady_clock::now();
    ProgramRun program(options);

    std::string dialog = test_support::wait_for_window(display, "Wembrel - tidewell", test_support::is_dialog, 60);
    ASSERT_FALSE(dialog.empty()) << program.output();
    display.x("xdotool windowfocus --sync " + dialog + " key alt+a");

    ASSERT_EQ(program.wait(275), 0) << program.output();
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    std::printf("recording took %.1f s\n", took.count());
    EXPECT_EQ(program.output().find("ERROR:"), std::string::npos) << program.output();

    // As long as the soundtrack, to within one frame.
    Recording recording = read_recording(work.path(), "Wembrel - tidewell");
    ASSERT_FALSE(recording.parts.empty()) << run_command("ls -l " + shell_quoted(work.path())).output;
    double song = probe_duration(test_support::source_path("data/music/Krestel_-_Tidewell.mp3"));
    ASSERT_GT(song, 90.0);
    EXPECT_NEAR(recording.total(), song, 1.0 / kFps);
    CommandResult size = run_command("ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0 " +
                                     shell_quoted(recording.parts[0]));
    EXPECT_EQ(size.output, std::to_string(kWidth) + "," + std::to_string(kHeight) + "\n");

    // One frame from the middle of each section: intro, build, drop, break,
    // second drop, outro.
    const double beats[] = {20, 56, 100, 150, 180, 206};
    std::vector<RecordedFrame> frames;
    for (double beat : beats) {
        std::string png = test_support::screenshot_path(dir.path(), "tidewell-beat-" + std::to_string(int(beat)) + ".png");
        frames.push_back(frame_at(recording, beat * kSecondsPerBeat, png));
        ASSERT_EQ(frames.back().rgb.size(), size_t(kWidth) * kHeight * 3) << "beat " << beat;
        EXPECT_GT(lit_share(frames.back().rgb), 0.01) << "beat " << beat << " is black";
    }
    for (size_t i = 0; i < frames.size(); ++i)
        for (size_t j = i + 1; j < frames.size(); ++j)
            EXPECT_GT(mean_difference(frames[i].rgb, frames[j].rgb), 3.0)
                << "beats " << beats[i] << " and " << beats[j] << " look alike";
}

}  // namespace
