// Production 1, "Wembrel - brisken", recorded whole as a person would: the
// program started on a virtual display of 320 x 180 (so the dialog offers
// that one resolution) in a folder that holds nothing but the production's
// data.tlx, and "Get avi" pressed. The run must end by itself with status 0,
// the recording must last as long as the soundtrack, and a frame from each
// section of the show must be lit and differ from the others.
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "scenes/production_scenes.h"
#include "support/e2e_display.h"
#include "support/show_run.h"
#include "support/test_support.h"
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
    if (!production_playable(PRODUCTION_BRISKEN)) GTEST_SKIP() << "not all of its scenes are part of the program";
    const std::string archive = binary_path("run/brisken/data.tlx");
    ASSERT_TRUE(fs::exists(archive)) << archive << " is packed by the build";
    VirtualDisplay display(kWidth, kHeight);
    ASSERT_TRUE(display.ok()) << "Xvfb did not start";
    TempDir work, dir;
    fs::create_symlink(archive, work.file("data.tlx"));

    ProgramRun::Options options;
    options.program = binary_path("zembla-brisken");
    options.working_dir = work.path();
    options.output_file = dir.file("output.txt");
    options.display = &display;
    options.timeout_seconds = 900;
    auto started = std::chrono::steady_clock::now();
    ProgramRun program(options);

    std::string dialog = wait_for_window(display, kTitle, is_dialog, 60);
    ASSERT_FALSE(dialog.empty()) << program.output();
    press_keys(display, dialog, "alt+a");  // Get avi
    ASSERT_EQ(program.wait(890), 0) << program.output();
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    std::printf("recording took %.1f s\n", took.count());
    EXPECT_EQ(program.output().find("ERROR:"), std::string::npos) << program.output();

    // As long as the soundtrack, to within a frame, at the display's size.
    Recording recording = read_recording(work.path(), kTitle);
    ASSERT_FALSE(recording.parts.empty()) << run_command("ls -l " + shell_quoted(work.path())).output;
    const double song = probe_duration(source_path("data/music/Krestel_-_Brisken.mp3"));
    ASSERT_GT(song, 145.0);
    EXPECT_NEAR(recording.total(), song, 1.0 / kFps);
    EXPECT_EQ(run_command("ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0 " +
                          shell_quoted(recording.parts[0]))
                  .output,
              "320,180\n");

    // A frame from each section: the disco floor (discs, then rings and
    // spots), the growing tree, the particle sphere, the tunnel, fireworks,
    // the cubes, the glow rings, the rings around the grown tree, the
    // droplets, and the floor under the credits.
    const double beats[] = {12, 20, 34, 50, 68, 86, 110, 126, 138, 154, 176};
    std::vector<RecordedFrame> frames;
    for (double beat : beats) {
        const std::string png = screenshot_path(dir.path(), "brisken-beat-" + std::to_string(int(beat)) + ".png");
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
