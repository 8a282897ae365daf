// The program and its X server: a show that goes well ends with status 0
// every time (no stray X error turns it into 1), and a display that goes
// away during the show ends the program at once with status 1 and one line
// that says so, a recording in progress left playable.
//
// Production 0 ("Internal debugging") from its archive on a small display of
// its own: the quickest show to reach, its picture easy to tell from the
// loading screen.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "support/e2e_display.h"
#include "support/show_run.h"
#include "support/test_support.h"

namespace {

using namespace test_support;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

const char* const kTitle = "Internal debugging";
constexpr int kWidth = 320, kHeight = 180;

// The pegboard behind the owls (tools/make_tobelroto_pictures.py) covers
// most of the scene; neither the dialog nor the loading screen has it.
bool shows_the_scene(const Screenshot& shot) {
    if (shot.width != kWidth) return false;
    size_t board = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            const unsigned char* p = shot.at(x, y);
            board += std::abs(p[0] - 196) <= 24 && std::abs(p[1] - 150) <= 24 && std::abs(p[2] - 98) <= 24;
        }
    return board > static_cast<size_t>(kWidth * kHeight) / 5;
}

class XConnectionE2ETest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(binary_path("run/debug/data.tlx"))) << "the build packs the archive";
        fs::create_symlink(binary_path("run/debug/data.tlx"), work.file("data.tlx"));
    }

    // The program started in the work folder on `display`, its setup dialog
    // answered with `keys` once it has drawn itself.
    std::unique_ptr<ProgramRun> start(const VirtualDisplay& display, const std::string& keys,
                                      const std::string& output) {
        ProgramRun::Options options;
        options.program = binary_path("zembla-debug");
        options.working_dir = work.path();
        options.output_file = output;
        options.display = &display;
        options.timeout_seconds = 120;
        auto run = std::make_unique<ProgramRun>(options);
        const std::string dialog = wait_for_window(display, kTitle, is_dialog, 60);
        if (dialog.empty()) {
            ADD_FAILURE() << "no setup dialog\n" << run->output();
            return nullptr;
        }
        const Geometry where = geometry_of(display, dialog);
        const auto deadline = Clock::now() + std::chrono::seconds(20);
        while (Clock::now() < deadline && take_screenshot(display, shot("dialog.png")).colours_in(where) < 8)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        press_keys(display, dialog, keys);
        return run;
    }

    // Waits for the show's window to show the scene; its id, or "".
    std::string wait_for_the_scene(const VirtualDisplay& display, ProgramRun& run) {
        const std::string show = wait_for_window(
            display, kTitle, [](const Geometry& g) { return !is_dialog(g); }, 60);
        if (show.empty()) return "";
        const auto deadline = Clock::now() + std::chrono::seconds(60);
        while (Clock::now() < deadline && run.running())
            if (shows_the_scene(take_screenshot(display, shot("show.png")))) return show;
        return "";
    }

    std::string shot(const std::string& name) const { return screenshot_path(work.path(), name); }

    TempDir work;
};

// An X error that reached the program after its dialog was gone ended a
// show that went well with status 1 now and then. Run after run, Escape in
// the show ends it with status 0 and without an error line.
TEST_F(XConnectionE2ETest, ShowsThatGoWellEndWithStatusZeroRunAfterRun) {
    VirtualDisplay display(kWidth, kHeight);
    ASSERT_TRUE(display.ok()) << "Xvfb did not start";
    constexpr int kRuns = 8;
    for (int n = 1; n <= kRuns; ++n) {
        SCOPED_TRACE(testing::Message() << "run " << n);
        const std::string output = work.file("output-" + std::to_string(n) + ".txt");
        std::unique_ptr<ProgramRun> run = start(display, "Return", output);
        ASSERT_TRUE(run);
        const std::string show = wait_for_the_scene(display, *run);
        ASSERT_FALSE(show.empty()) << run->output();
        const int status = escape_until_ended(display, *run, show, 60);
        ASSERT_EQ(status, 0) << run->output();
        ASSERT_EQ(run->output().find("ERROR"), std::string::npos) << run->output();
        ASSERT_EQ(run->output().find("X error"), std::string::npos) << run->output();
    }
}

// The display goes away in the middle of the show: the program says so in
// one line and is gone with status 1 within seconds (it used to spin for
// ever in an exit handler waiting for events of the dead connection). A
// recording in progress keeps the frames it wrote, playable.
TEST_F(XConnectionE2ETest, LosingTheDisplayEndsTheProgramAtOnce) {
    const struct {
        const char* what;
        const char* keys;
    } cases[] = {{"the show", "Return"}, {"a recording", "alt+a"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        VirtualDisplay display(kWidth, kHeight);
        ASSERT_TRUE(display.ok()) << "Xvfb did not start";
        std::unique_ptr<ProgramRun> run = start(display, c.keys, work.file("output.txt"));
        ASSERT_TRUE(run);
        ASSERT_FALSE(wait_for_the_scene(display, *run).empty()) << run->output();

        display.stop();
        const auto stopped = Clock::now();
        const int status = run->wait(10);
        const double seconds = std::chrono::duration<double>(Clock::now() - stopped).count();
        EXPECT_EQ(status, 1) << "after " << seconds << " s\n" << run->output();
        EXPECT_LT(seconds, 5.0);
        const std::string output = run->output();
        EXPECT_NE(output.find("ERROR: "), std::string::npos) << output;
        EXPECT_NE(output.find("Lost the connection to the display " + display.name()), std::string::npos)
            << output;
        if (std::string(c.keys) == "alt+a") {
            const std::string part = work.file(std::string(kTitle) + ".01.avi");
            EXPECT_GT(probe_duration(part), 0.0) << output;
            fs::remove(part);
        }
    }
}

}  // namespace
