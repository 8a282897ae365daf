// The leak check of every production: the program of a build with
// AddressSanitizer, named by $ZEMBLA_LEAK_CHECK_BUILD (the test command sets
// it to its sanitizer tree), run from this build's archive of the production
// with leak detection on. It records the first seconds of the show at a
// small size (a recording takes every frame, however slowly the sanitized
// program draws), then Escape ends it. Whatever the run allocated is freed
// or still reachable at its end; leaks of the system's own libraries are
// suppressed by tools/lsan.supp.
//
// Every scene of a production is loaded before its show starts, and the
// first scenes draw, so a scene that leaks what it builds fails the check.
// One test a production: ctest runs them side by side, each on a display of
// its own.
//
// The same first seconds are played once more with a damaged tempo track (a
// NaN), under the undefined-behaviour checker: track values turned NaN by it
// reach every scene of every production.
#include <chrono>
#include <cstdlib>
#include <limits>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/e2e_display.h"
#include "support/show_run.h"
#include "support/test_support.h"
#include "system/productions.h"
#include "system/zemblasystem.h"
#include "util/music/synctrack.h"

namespace {

using namespace test_support;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int kWidth = 320, kHeight = 180;
// Three seconds of the show: the frames the recording must hold before
// Escape, each a 24-bit picture of the window.
constexpr int kFrames = 90;
constexpr uintmax_t kFrameBytes = kWidth * kHeight * 3;

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

std::vector<std::string> production_names() {
    std::vector<std::string> names;
    for (const ProductionRow& row : production_table()) names.push_back(row.name);
    return names;
}

class LeakCheckE2ETest : public ::testing::TestWithParam<std::string> {
protected:
    struct Ended {
        int status = -1;
        std::string output;
    };

    void SetUp() override {
        build = std::getenv("ZEMBLA_LEAK_CHECK_BUILD");
        if (!build || !*build) GTEST_SKIP() << "ZEMBLA_LEAK_CHECK_BUILD names no sanitizer build";
        ASSERT_TRUE(fs::exists(archive())) << "the build packs the archive";
    }

    // This build's archive of the production.
    std::string archive() const { return binary_path("run/" + GetParam() + "/data.tlx"); }

    // Runs the sanitizer build's program of the production from the archive
    // in `work` (its data.tlx) with `sanitizer_options` (ASAN_OPTIONS and the
    // like): records the first seconds of the show, then Escape ends it.
    void play_first_seconds(const TempDir& work, const std::vector<std::pair<std::string, std::string>>& sanitizer_options,
                            Ended& ended) {
        const ProductionRow& row = *find_production(GetParam());
        const std::string program = std::string(build) + "/zembla-" + row.name;
        ASSERT_TRUE(fs::exists(program)) << program;
        // A row without a title plays under the compiled-in one.
        const std::string title = row.title ? row.title : ZemblaSystem::title;

        VirtualDisplay display(kWidth, kHeight);
        ASSERT_TRUE(display.ok()) << "Xvfb did not start";
        auto options = ProgramRun::Options::in_folder(program, work.path(), &display);
        options.timeout_seconds = 600;
        options.environment = sanitizer_options;
        ProgramRun run(options);

        // The sanitized dialog may take a while to draw; keys go to it once it
        // has. "Get avi" records in a window of the display's size.
        const std::string dialog = wait_for_window(display, title, is_dialog, 120);
        ASSERT_FALSE(dialog.empty()) << run.output();
        const Geometry where = geometry_of(display, dialog);
        auto deadline = Clock::now() + std::chrono::seconds(120);
        while (Clock::now() < deadline &&
               take_screenshot(display, screenshot_path(work.path(), "dialog.png")).colours_in(where) < 8)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        press_keys(display, dialog, "alt+a");

        // Loading and the first seconds of the show, however long they take.
        const std::string part = work.file(title + ".01.avi");
        const auto recorded = [&] {
            std::error_code error;
            return fs::file_size(part, error) >= kFrames * kFrameBytes && !error;
        };
        deadline = Clock::now() + std::chrono::seconds(400);
        while (Clock::now() < deadline && run.running() && !recorded())
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ASSERT_TRUE(recorded()) << run.output();
        const std::string show = wait_for_window(
            display, title, [](const Geometry& g) { return !is_dialog(g); }, 10);
        ASSERT_FALSE(show.empty()) << run.output();
        ended.status = escape_until_ended(display, run, show, 180);
        ended.output = run.output();
    }

    const char* build = nullptr;
};

TEST_P(LeakCheckE2ETest, AFewSecondsOfTheShowLeaveNoLeak) {
    TempDir work;
    fs::create_symlink(archive(), work.file("data.tlx"));
    Ended ended;
    ASSERT_NO_FATAL_FAILURE(play_first_seconds(
        work,
        {{"ASAN_OPTIONS", "detect_leaks=1"},
         {"LSAN_OPTIONS", "exitcode=" + std::to_string(kLeakStatus) + ":suppressions=" + source_path("tools/lsan.supp")},
         {"UBSAN_OPTIONS", "print_stacktrace=1"}},
        ended));

    // A suppressed block of a system library keeps the blocks it points
    // to, which the checker then reports as indirect leaks, with stacks in
    // the sanitizer runtime that no suppression can name. A leak of the
    // program's own has a direct root (unless its blocks only point to each
    // other), so indirect leaks alone pass.
    EXPECT_TRUE(ended.status == 0 ||
                (ended.status == kLeakStatus && ended.output.find("Direct leak of") == std::string::npos))
        << "status " << ended.status << "\n" << ended.output;
    EXPECT_FALSE(other_error(ended.output)) << ended.output;
}

// A damaged or hand-made tempo track of NaN makes every row NaN, and with it
// every track value a ramp gives: the show plays on (what it shows is
// another matter) without undefined behaviour, which the sanitizers end the
// run at (a NaN text position reached an integer conversion two seconds
// into tidewell).
TEST_P(LeakCheckE2ETest, ANanTempoTrackPlaysOnWithoutUndefinedBehaviour) {
    TempDir work;
    const SyncKey nan_key{0, std::numeric_limits<float>::quiet_NaN(), SyncKeyType::Step};
    write_archive_replacing(archive(), "data/sync_tracker/_bpm.track", SyncTrackFile::encode({nan_key}), work.path());
    Ended ended;
    ASSERT_NO_FATAL_FAILURE(play_first_seconds(
        work, {{"ASAN_OPTIONS", "detect_leaks=0"}, {"UBSAN_OPTIONS", "print_stacktrace=1"}}, ended));
    EXPECT_EQ(ended.status, 0) << ended.output;
    EXPECT_FALSE(other_error(ended.output)) << ended.output;
    EXPECT_EQ(ended.output.find("runtime error"), std::string::npos) << ended.output;
}

INSTANTIATE_TEST_SUITE_P(Productions, LeakCheckE2ETest, ::testing::ValuesIn(production_names()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
