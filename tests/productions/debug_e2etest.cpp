// Production 0, "Internal debugging", as a person runs it: the built program
// started in its run directory (archive-read mode, the default), the setup
// dialog answered with key presses, the loading screen and the show looked
// at in screenshots, Escape to end; a recording to AVI read back with
// ffprobe; damaged archives, each ending the run with its message; and the
// show of a sanitizer build under the leak checker.
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/e2e_display.h"
#include "support/show_run.h"
#include "support/test_support.h"
#include "util/avi/avi_reader.h"
#include "util/data/archive.h"
#include "util/data/data.h"

namespace {

using namespace test_support;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

const char* const kTitle = "Internal debugging";
const char* const kFigure = "data/scenes/tobelroto/harvest_of_the_owls_2017_guys_transparent.png";
const char* const kBackground = "data/scenes/tobelroto/pegboard_hearts.jpeg";

std::string run_dir() { return binary_path("run/debug"); }

// --- what the screen shows -------------------------------------------------------------

struct Colour {
    const char* name;
    unsigned char r, g, b;
};

// The colours the two pictures are drawn with (tools/make_tobelroto_pictures.py).
const Colour kBoard = {"pegboard", 196, 150, 98};
const Colour kRedHeart = {"red heart", 214, 32, 58};
const Colour kPinkHeart = {"pink heart", 236, 84, 120};
const Colour kBrownOwl = {"brown owl", 120, 84, 52};
const Colour kBlueOwl = {"blue owl", 86, 96, 120};

bool looks_like(const unsigned char* p, const Colour& c) {
    return std::abs(p[0] - c.r) <= 24 && std::abs(p[1] - c.g) <= 24 && std::abs(p[2] - c.b) <= 24;
}

double share_of(const Screenshot& shot, const Colour& c) {
    size_t n = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) n += looks_like(shot.at(x, y), c);
    return shot.width ? static_cast<double>(n) / (static_cast<double>(shot.width) * shot.height) : 0.0;
}

struct Point {
    double x = -1, y = -1;
};

// The middle of the pixels of colour `c`.
Point centre_of(const Screenshot& shot, const Colour& c) {
    double sx = 0, sy = 0;
    size_t n = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            if (looks_like(shot.at(x, y), c)) {
                sx += x;
                sy += y;
                ++n;
            }
    return n ? Point{sx / n, sy / n} : Point{};
}

// The progress-bar loading screen: black, with the white bar near the bottom.
bool is_loading_screen(const Screenshot& shot) {
    if (shot.width != VirtualDisplay::kWidth) return false;
    size_t black = 0, white_low = 0, white_high = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            const unsigned char* p = shot.at(x, y);
            if (p[0] + p[1] + p[2] == 0) ++black;
            if (p[0] == 255 && p[1] == 255 && p[2] == 255) (y > shot.height * 3 / 4 ? white_low : white_high)++;
        }
    return black > static_cast<size_t>(shot.width) * shot.height * 9 / 10 && white_low > 1000 && white_high == 0;
}

bool shows_the_scene(const Screenshot& shot) {
    return shot.width == VirtualDisplay::kWidth && share_of(shot, kBoard) > 0.2;
}

// --- archives --------------------------------------------------------------------------

std::vector<uint8_t> read_bytes(const std::string& path) {
    std::string text = read_file(path);
    return std::vector<uint8_t>(text.begin(), text.end());
}

void write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// --- the runs --------------------------------------------------------------------------

class DebugProductionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display.ok()) << "Xvfb did not start";
        ASSERT_TRUE(fs::exists(run_dir() + "/data.tlx")) << "the build packs the archive";
    }

    // Waits for the setup dialog, checks it is on screen and answers it.
    void answer_dialog(ProgramRun& run, const std::string& keys) { answer_dialog(display, run, keys); }
    void answer_dialog(const VirtualDisplay& on, ProgramRun& run, const std::string& keys) {
        std::string dialog = wait_for_window(on, kTitle, is_dialog, 60);
        ASSERT_FALSE(dialog.empty()) << run.output();
        Geometry where = geometry_of(on, dialog);
        expect_dialog_on_screen(screenshot_of_dialog(on, where, shot_path("dialog.png")), where);
        press_keys(on, dialog, keys);
    }

    std::string shot_path(const std::string& name) const { return screenshot_path(dir.path(), name); }

    // The production's program started in `work` on the display.
    ProgramRun::Options program_in(const std::string& work) const {
        ProgramRun::Options options;
        options.program = binary_path("zembla-debug");
        options.working_dir = work;
        options.output_file = dir.file("output.txt");
        options.display = &display;
        return options;
    }

    VirtualDisplay display;
    TempDir dir;
};

TEST_F(DebugProductionTest, PlaysFromItsRunDirectoryUntilEscape) {
    ProgramRun run(program_in(run_dir()));
    answer_dialog(run, "Return");

    // The dialog offers the display's one mode, full screen. The loading
    // screen shows first, then the scene. The loading screen is up for less
    // than a second, about what a screenshot takes on a loaded machine: the
    // program runs in steps between the screenshots until it has shown it.
    const Screenshot first = wait_for_screen(
        display, [](const Screenshot& s) { return is_loading_screen(s) || shows_the_scene(s); }, 120,
        shot_path("loading.png"), &run);
    EXPECT_TRUE(is_loading_screen(first)) << run.output();
    std::string show = wait_for_window(display, kTitle, is_full_screen, 60);
    ASSERT_FALSE(show.empty()) << run.output();
    const Screenshot shot = wait_for_screen(display, shows_the_scene, 60, shot_path("show-1.png"));
    ASSERT_TRUE(shows_the_scene(shot)) << run.output();

    // The pegboard with both kinds of hearts fills the screen, the owls
    // stand on it, and nothing of the white root shows.
    EXPECT_GT(share_of(shot, kBoard), 0.3);
    EXPECT_GT(share_of(shot, kRedHeart), 0.02);
    EXPECT_GT(share_of(shot, kPinkHeart), 0.02);
    EXPECT_GT(share_of(shot, kBrownOwl), 0.005);
    EXPECT_GT(share_of(shot, kBlueOwl), 0.005);
    EXPECT_LT(shot.share_of_white(), 0.02);  // the owls' eyes

    // The figure glides: a moment later the owls stand elsewhere.
    Point before = centre_of(shot, kBlueOwl);
    auto moved = [&](const Screenshot& later) {
        Point after = centre_of(later, kBlueOwl);
        return shows_the_scene(later) && std::hypot(after.x - before.x, after.y - before.y) > 8.0;
    };
    const Screenshot later = wait_for_screen(display, moved, 30, shot_path("show-2.png"));
    EXPECT_TRUE(moved(later)) << "the owls stand still";

    // The show runs until Escape (production 0 has no soundtrack to end).
    EXPECT_EQ(run.wait(0.5), -1) << "the show ended by itself: " << run.output();
    EXPECT_EQ(escape_until_ended(display, run, show, 60), 0) << run.output();
    EXPECT_EQ(run.output().find("ERROR:"), std::string::npos) << run.output();
}

TEST_F(DebugProductionTest, RecordsToAviUntilEscape) {
    // The first (here the only) part of the recording named after the title.
    const std::string avi = run_dir() + "/Internal debugging.01.avi";
    fs::remove(avi);
    ProgramRun run(program_in(run_dir()));
    answer_dialog(run, "alt+a");  // Get avi

    // Recording runs in a window; frames are written while it runs.
    std::string show = wait_for_window(
        display, kTitle, [](const Geometry& g) { return !is_dialog(g); }, 20);
    ASSERT_FALSE(show.empty()) << run.output();
    auto deadline = Clock::now() + std::chrono::seconds(30);
    while (Clock::now() < deadline && !(fs::exists(avi) && fs::file_size(avi) > 30'000'000))
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(escape_until_ended(display, run, show, 30), 0) << run.output();
    EXPECT_EQ(run.output().find("ERROR:"), std::string::npos) << run.output();

    // ffprobe reads the file: one uncompressed video stream of the window's
    // size at 30 frames a second, every frame there to count.
    CommandResult probe = run_command(
        "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
        "stream=codec_name,width,height,r_frame_rate,nb_read_frames -of default=noprint_wrappers=1 '" +
        avi + "'",
        60);
    EXPECT_EQ(probe.status, 0) << probe.output;
    EXPECT_NE(probe.output.find("codec_name=rawvideo"), std::string::npos) << probe.output;
    EXPECT_NE(probe.output.find("width=1280"), std::string::npos) << probe.output;
    EXPECT_NE(probe.output.find("height=720"), std::string::npos) << probe.output;
    EXPECT_NE(probe.output.find("r_frame_rate=30/1"), std::string::npos) << probe.output;
    size_t at = probe.output.find("nb_read_frames=");
    ASSERT_NE(at, std::string::npos) << probe.output;
    EXPECT_GE(std::atoi(probe.output.c_str() + at + 15), 10) << probe.output;
    fs::remove(avi);
}

// --- a recording that fails ------------------------------------------------------------

// Checks that the part is one finished RIFF file (every size right, one
// idx1, nothing after it), that its index, its main header and the frames
// ffprobe decodes agree, and that it holds frames; their count.
uint32_t expect_finished_part(const std::string& part) {
    try {
        const avi_test::AviFile f = avi_test::read_avi(part);
        EXPECT_EQ(f.riff.count("idx1"), 1u) << part;
        size_t indexed = 0;
        for (const avi_test::IndexEntry& e : f.index) indexed += e.id == "00db";
        EXPECT_EQ(indexed, f.total_frames()) << part;
        EXPECT_EQ(f.chunks("00db").size(), f.total_frames()) << part;
        EXPECT_GT(f.total_frames(), 0u) << part;
        const CommandResult probe = run_command(
            "ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames "
            "-of default=noprint_wrappers=1:nokey=1 " + shell_quoted(part),
            60);
        EXPECT_EQ(probe.status, 0) << probe.output;
        EXPECT_EQ(std::atoi(probe.output.c_str()), static_cast<int>(f.total_frames())) << probe.output;
        return f.total_frames();
    } catch (const std::exception& e) {
        ADD_FAILURE() << part << ": " << e.what();
        return 0;
    }
}

// The program a run started: the process `timeout` watches.
pid_t program_of(const ProgramRun& run) {
    const std::string children =
        read_file("/proc/" + std::to_string(run.pid()) + "/task/" + std::to_string(run.pid()) + "/children");
    return static_cast<pid_t>(std::atoi(children.c_str()));
}

bool error_box_on(const VirtualDisplay& display) {
    for (const Window& window : visible_windows(display))
        if (window.title.rfind("Error in file ", 0) == 0) return true;
    return false;
}

// How a run whose recording failed is ended while its fatal error box waits.
enum class BoxLeft { Answered, Terminated, DisplayGone };

// A recording that reaches the file-size limit (ulimit -f; the disk full is
// the same path) stops with the system's reason and a fatal error. The part
// is finished before the box comes up, so it plays whether the box is
// answered, the program is told to end (SIGTERM, as a script's `timeout`
// does) or the display goes away under the box (as tools/record_show.sh ends
// a run), and it is finished once: the box's process, which shares the
// file, finishes nothing. (The limit's signal used to end the program on the
// spot, leaving an AVI without index and headers; then the part stayed
// without them while the box waited, and the box's process finished it a
// second time, after the first, when the display went away.)
TEST_F(DebugProductionTest, RecordingPastTheFileSizeLimitKeepsAPlayablePart) {
    const struct {
        const char* what;
        BoxLeft left;
        int status;
    } endings[] = {
        {"the box answered", BoxLeft::Answered, 1},
        {"SIGTERM while the box is up", BoxLeft::Terminated, 128 + SIGTERM},
        {"the display taken away while the box is up", BoxLeft::DisplayGone, 1},
    };
    for (const auto& ending : endings) {
        SCOPED_TRACE(ending.what);
        VirtualDisplay screen;
        ASSERT_TRUE(screen.ok()) << "Xvfb did not start";
        TempDir work;
        fs::create_symlink(run_dir() + "/data.tlx", work.file("data.tlx"));
        ProgramRun::Options options = program_in(work.path());
        options.display = &screen;
        // Eight frames of the window at 1280 x 720 (2.7 MB each) and their sound.
        options.program = "/bin/bash";
        options.arguments = {"-c", "ulimit -f 22000 && exec \"$0\"", binary_path("zembla-debug")};
        ProgramRun run(options);
        answer_dialog(screen, run, "alt+a");  // Get avi

        const Window box = wait_for_error_box(screen, run, 120, shot_path("file-size-box.png"));
        ASSERT_FALSE(box.id.empty()) << run.output();
        EXPECT_EQ(box.title.rfind("Error in file ", 0), 0u) << box.title << "\n" << run.output();
        const std::string part = work.file(std::string(kTitle) + ".01.avi");
        EXPECT_LE(fs::file_size(part), 22000u * 1024);
        const uint32_t frames = expect_finished_part(part);

        switch (ending.left) {
        case BoxLeft::Answered:
            press_keys(screen, box.id, "Return");
            break;
        case BoxLeft::Terminated:
            ASSERT_EQ(kill(program_of(run), SIGTERM), 0);
            break;
        case BoxLeft::DisplayGone:
            screen.stop();
            break;
        }
        EXPECT_EQ(run.wait(60), ending.status) << run.output();
        if (ending.left == BoxLeft::Terminated) {
            // The box went with the program.
            const auto deadline = Clock::now() + std::chrono::seconds(30);
            while (Clock::now() < deadline && error_box_on(screen))
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            EXPECT_FALSE(error_box_on(screen));
        }
        EXPECT_EQ(expect_finished_part(part), frames);

        const std::string output = run.output();
        const std::string failed = std::string(kTitle) + ".01.avi: File too large";
        EXPECT_NE(output.find("Failed to write " + failed), std::string::npos) << output;
        EXPECT_EQ(output.find("Exception in cleanup"), std::string::npos) << output;
        if (ending.left == BoxLeft::Answered) {
            // The fatal line says what failed: the part and the system's reason.
            const size_t error = output.find("ERROR: ");
            ASSERT_NE(error, std::string::npos) << output;
            EXPECT_NE(output.find("Failed assert success (" + failed + ")", error), std::string::npos) << output;
        }
    }
}

struct Damage {
    const char* what;
    // Puts the damaged archive into the folder; returns the message the run
    // must end with.
    std::string (*make)(const std::string& folder);
};

std::string without_track(const std::string& folder) {
    write_archive_without(run_dir() + "/data.tlx", "data/sync_tracker/_cameraFoV.track", folder);
    return "Failed to open track cameraFoV (data/sync_tracker/_cameraFoV.track): not in the data file data.tlx";
}

std::string without_figure(const std::string& folder) {
    write_archive_without(run_dir() + "/data.tlx", kFigure, folder);
    return std::string("Failed to open/decode ") + kFigure + "!: not in the data file data.tlx\n";
}

std::string without_background(const std::string& folder) {
    write_archive_without(run_dir() + "/data.tlx", kBackground, folder);
    return std::string("Failed reading ") + kBackground + ": not in the data file data.tlx";
}

// The archive's own message for damage, as its reader words it.
std::string message_for(const std::vector<uint8_t>& bytes) {
    DataArchive::Parsed parsed;
    return DataArchive::parse(bytes.data(), bytes.size(), "data.tlx", &parsed);
}

std::string cut_short(const std::string& folder) {
    std::vector<uint8_t> bytes = read_bytes(run_dir() + "/data.tlx");
    bytes.resize(bytes.size() / 2);
    write_bytes(folder + "/data.tlx", bytes);
    return message_for(bytes);
}

std::string wrong_header(const std::string& folder) {
    std::vector<uint8_t> bytes = read_bytes(run_dir() + "/data.tlx");
    bytes[0] = 'X';
    write_bytes(folder + "/data.tlx", bytes);
    return message_for(bytes);
}

TEST_F(DebugProductionTest, DamagedDataEndsTheRunWithItsMessage) {
    const Damage cases[] = {
        {"a track file missing", without_track},
        {"the figure missing", without_figure},
        {"the background missing", without_background},
        {"the archive cut short", cut_short},
        {"the archive's header damaged", wrong_header},
    };
    for (const Damage& damage : cases) {
        SCOPED_TRACE(damage.what);
        // A folder with the archive alone: the run reads nothing else.
        TempDir work;
        std::string message = damage.make(work.path());
        ASSERT_FALSE(message.empty());
        ProgramRun run(program_in(work.path()));
        answer_dialog(run, "Return");

        // The box names the place; the console gets the message; status 1.
        std::string caption = answer_error_box(display, run, 60, shot_path("error-box.png"));
        EXPECT_EQ(caption.rfind("Error in file src\\", 0), 0u) << caption << "\n" << run.output();
        EXPECT_EQ(run.wait(60), 1) << run.output();
        std::string output = run.output();
        size_t error = output.find("ERROR: ");
        ASSERT_NE(error, std::string::npos) << output;
        EXPECT_NE(output.find(message, error), std::string::npos) << message << "\n" << output;
    }
}

// --- leaks ------------------------------------------------------------------------------

// The show itself (not a recording, which the leak check of every production
// runs: tests/productions/leak_check_e2etest.cpp) of a build with
// AddressSanitizer, named by $ZEMBLA_LEAK_CHECK_BUILD, from this build's
// archive with leak detection on, until the scene shows and then Escape.
class ShowLeakCheckE2ETest : public DebugProductionTest {};

// The status the leak checker ends a leaking run with (its default is 1, a
// fatal error's too).
constexpr int kLeakStatus = 23;

// An "ERROR: " line other than the leak checker's report: the program's
// fatal errors and the address checker's.
bool other_error(const std::string& output) {
    for (size_t at = output.find("ERROR: "); at != std::string::npos; at = output.find("ERROR: ", at + 1))
        if (output.compare(at + 7, 13, "LeakSanitizer") != 0) return true;
    return false;
}

TEST_F(ShowLeakCheckE2ETest, RunUntilEscapeLeavesNoLeak) {
    const char* build = std::getenv("ZEMBLA_LEAK_CHECK_BUILD");
    if (!build || !*build) GTEST_SKIP() << "ZEMBLA_LEAK_CHECK_BUILD names no sanitizer build";
    const std::string program = std::string(build) + "/zembla-debug";
    ASSERT_TRUE(fs::exists(program)) << program;
    TempDir work;
    fs::create_symlink(run_dir() + "/data.tlx", work.file("data.tlx"));
    ProgramRun::Options options = program_in(work.path());
    options.program = program;
    options.environment = {
        {"ASAN_OPTIONS", "detect_leaks=1"},
        {"LSAN_OPTIONS", "exitcode=" + std::to_string(kLeakStatus) + ":suppressions=" + source_path("tools/lsan.supp")},
        {"UBSAN_OPTIONS", "print_stacktrace=1"}};
    ProgramRun run(options);

    // The sanitized dialog may take a while to draw; keys go to it once
    // it has.
    std::string dialog = wait_for_window(display, kTitle, is_dialog, 120);
    ASSERT_FALSE(dialog.empty()) << run.output();
    const Geometry where = geometry_of(display, dialog);
    auto deadline = Clock::now() + std::chrono::seconds(120);
    Screenshot shot = take_screenshot(display, shot_path("leak-dialog.png"));
    while (Clock::now() < deadline && (shot.width != VirtualDisplay::kWidth || shot.colours_in(where) < 8))
        shot = take_screenshot(display, shot_path("leak-dialog.png"));
    press_keys(display, dialog, "Return");

    std::string show = wait_for_window(
        display, kTitle, [](const Geometry& g) { return !is_dialog(g); }, 120);
    ASSERT_FALSE(show.empty()) << run.output();
    deadline = Clock::now() + std::chrono::seconds(120);
    while (Clock::now() < deadline && !shows_the_scene(shot)) shot = take_screenshot(display, shot_path("leak.png"));
    ASSERT_TRUE(shows_the_scene(shot)) << run.output();
    const int status = escape_until_ended(display, run, show, 120);
    const std::string output = run.output();

    // Indirect leaks alone pass: see tests/productions/leak_check_e2etest.cpp.
    EXPECT_TRUE(status == 0 || (status == kLeakStatus && output.find("Direct leak of") == std::string::npos))
        << "status " << status << "\n" << output;
    EXPECT_FALSE(other_error(output)) << output;
}

}  // namespace
