// The default production, "Wembrel - tidewell", recorded whole: the program
// is started as a person would, on a virtual display of 640 x 360 (so the
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
#include "support/test_support.h"

namespace {

using test_support::CommandResult;
using test_support::ProgramRun;
using test_support::run_command;
using test_support::VirtualDisplay;

constexpr int kWidth = 640;
constexpr int kHeight = 360;
constexpr double kFps = 30.0;
constexpr double kSecondsPerBeat = 60.0 / 128.0;

std::string shell_quoted(const std::string& s) { return "'" + s + "'"; }

double probe_duration(const std::string& file) {
    CommandResult r = run_command("ffprobe -v error -show_entries format=duration -of csv=p=0 " +
                                  shell_quoted(file));
    return r.status == 0 ? std::atof(r.output.c_str()) : -1.0;
}

// The recording's parts in order ("title.01.avi", "title.02.avi", ...).
std::vector<std::string> recording_parts(const std::string& folder) {
    std::vector<std::string> parts;
    for (int part = 1;; ++part) {
        char name[64];
        std::snprintf(name, sizeof name, "Wembrel - tidewell.%02d.avi", part);
        std::string path = folder + "/" + name;
        if (!std::filesystem::exists(path)) break;
        parts.push_back(path);
    }
    return parts;
}

struct Frame {
    double seconds;
    std::vector<unsigned char> rgb;
};

// The frame of the recording at `seconds`, found in the part that holds it,
// as RGB bytes; also written to `png` to look at.
Frame frame_at(const std::vector<std::string>& parts, const std::vector<double>& durations,
               double seconds, const std::string& png) {
    Frame frame{seconds, {}};
    double start = 0.0;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (seconds < start + durations[i]) {
            std::string at = std::to_string(seconds - start);
            run_command("ffmpeg -v error -y -ss " + at + " -i " + shell_quoted(parts[i]) +
                        " -frames:v 1 " + shell_quoted(png));
            CommandResult raw = run_command("ffmpeg -v error -ss " + at + " -i " + shell_quoted(parts[i]) +
                                            " -frames:v 1 -f rawvideo -pix_fmt rgb24 -");
            frame.rgb.assign(raw.output.begin(), raw.output.end());
            return frame;
        }
        start += durations[i];
    }
    return frame;
}

// The share of pixels with a channel above a quarter of full brightness: the
// show draws bright shapes on black.
double lit_share(const std::vector<unsigned char>& rgb) {
    size_t lit = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        if (rgb[i] > 64 || rgb[i + 1] > 64 || rgb[i + 2] > 64) ++lit;
    return static_cast<double>(lit) / static_cast<double>(rgb.size() / 3);
}

double mean_difference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) sum += std::abs(int(a[i]) - int(b[i]));
    return sum / static_cast<double>(a.size());
}

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

    std::string dialog = test_support::wait_for_window(display, "Wembrel - tidewell", test_support::is_dialog, 20);
    ASSERT_FALSE(dialog.empty()) << program.output();
    display.x("xdotool windowfocus --sync " + dialog + " key alt+a");

    ASSERT_EQ(program.wait(275), 0) << program.output();
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    std::printf("recording took %.1f s\n", took.count());
    EXPECT_EQ(program.output().find("ERROR:"), std::string::npos) << program.output();

    // As long as the soundtrack, to within one frame.
    std::vector<std::string> parts = recording_parts(work.path());
    ASSERT_FALSE(parts.empty()) << run_command("ls -l " + shell_quoted(work.path())).output;
    std::vector<double> durations;
    double total = 0.0;
    for (const std::string& part : parts) {
        durations.push_back(probe_duration(part));
        total += durations.back();
    }
    double song = probe_duration(test_support::source_path("data/music/Krestel_-_Tidewell.mp3"));
    ASSERT_GT(song, 90.0);
    EXPECT_NEAR(total, song, 1.0 / kFps);
    CommandResult size = run_command("ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0 " +
                                     shell_quoted(parts[0]));
    EXPECT_EQ(size.output, "640,360\n");

    // One frame from the middle of each section: intro, build, drop, break,
    // second drop, outro.
    const double beats[] = {20, 56, 100, 150, 180, 206};
    std::vector<Frame> frames;
    for (double beat : beats) {
        std::string png = test_support::screenshot_path(dir.path(), "tidewell-beat-" + std::to_string(int(beat)) + ".png");
        frames.push_back(frame_at(parts, durations, beat * kSecondsPerBeat, png));
        ASSERT_EQ(frames.back().rgb.size(), size_t(kWidth) * kHeight * 3) << "beat " << beat;
        EXPECT_GT(lit_share(frames.back().rgb), 0.01) << "beat " << beat << " is black";
    }
    for (size_t i = 0; i < frames.size(); ++i)
        for (size_t j = i + 1; j < frames.size(); ++j)
            EXPECT_GT(mean_difference(frames[i].rgb, frames[j].rgb), 3.0)
                << "beats " << beats[i] << " and " << beats[j] << " look alike";
}

}  // namespace
