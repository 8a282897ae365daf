// The real program on a virtual display of its own: the setup dialog is found
// by its title, photographed and answered with key presses, as a person would.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/e2e_display.h"
#include "support/test_support.h"
#include "util/data/data.h"

namespace {

using test_support::Geometry;
using test_support::ProgramRun;
using test_support::Screenshot;
using test_support::VirtualDisplay;
using test_support::geometry_of;
using test_support::run_command;
using test_support::take_screenshot;
using test_support::windows_named;
using Clock = std::chrono::steady_clock;

const char* const kTitle = "Wembrel - tidewell";
constexpr int kScreenWidth = VirtualDisplay::kWidth;
constexpr int kScreenHeight = VirtualDisplay::kHeight;

// The program as a person starts it, in `working_dir`.
ProgramRun::Options program_in(const VirtualDisplay* display, const std::string& working_dir,
                               const std::string& output_file) {
    ProgramRun::Options options;
    options.program = test_support::binary_path("zembla");
    options.working_dir = working_dir;
    options.output_file = output_file;
    options.display = display;
    return options;
}

std::string wait_for_window(const VirtualDisplay& display,
                            const std::function<bool(const Geometry&)>& wanted, double seconds) {
    return test_support::wait_for_window(display, kTitle, wanted, seconds);
}

bool is_dialog(const Geometry& g) { return g.width == 270 && g.height == 150; }

std::string screenshot_path(const test_support::TempDir& dir, const std::string& name) {
    return test_support::screenshot_path(dir.path(), name);
}

// The screen once the dialog has drawn itself (a window is mapped before its
// first frame is presented); the last try when it never does.
Screenshot screenshot_of_dialog(const VirtualDisplay& display, const Geometry& dialog,
                                const std::string& file) {
    auto deadline = Clock::now() + std::chrono::seconds(10);
    Screenshot shot = take_screenshot(display, file);
    while (Clock::now() < deadline &&
           (shot.width != kScreenWidth || shot.colours_in(dialog) < 8)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        shot = take_screenshot(display, file);
    }
    return shot;
}

void expect_dialog_on_screen(const Screenshot& shot, const Geometry& dialog) {
    ASSERT_EQ(shot.width, kScreenWidth);
    ASSERT_EQ(shot.height, kScreenHeight);
    // A light dialog face with labels, lists and buttons on it, on the white
    // root window.
    const unsigned char* face = shot.at(dialog.x + 2, dialog.y + 2);
    EXPECT_EQ(face[0], face[1]);
    EXPECT_GT(face[0], 200);
    EXPECT_LT(face[0], 255);
    EXPECT_GE(shot.colours_in(dialog), 8);
    const unsigned char* root = shot.at(5, 5);
    EXPECT_EQ(root[0] + root[1] + root[2], 3 * 255);
}

// The program reads its data from "data.tlx" in its working folder; one
// holding a single small file is enough for a show without scenes.
void write_small_archive(const std::string& folder) {
    test_support::ScopedChdir in(folder);
    run_command("mkdir -p data && echo show > data/note.txt");
    DataFile::reset();
    DataFile::set_mode(DataFileMode::Write);
    int32_t length = 0;
    std::free(DataFile::load("data/note.txt", "rb", &length, false, false));
    DataFile::write_archive("data.tlx");
    DataFile::remove_temp_files();
    DataFile::reset();
    run_command("rm -r data");
}

class ProgramE2ETest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(display.ok()) << "Xvfb did not start"; }

    VirtualDisplay display;
    test_support::TempDir dir;
};

TEST_F(ProgramE2ETest, EscapeInTheDialogQuitsBeforeAnyWindow) {
    // Escape, and the Quit button's mnemonic.
    for (const char* key : {"Escape", "alt+q"}) {
        SCOPED_TRACE(key);
        test_support::TempDir work;  // stays empty: quitting writes nothing
        ProgramRun program(program_in(&display, work.path(), dir.file("output.txt")));

        std::string dialog = wait_for_window(display, is_dialog, 20);
        ASSERT_FALSE(dialog.empty()) << program.output();
        Geometry where = geometry_of(display, dialog);
        Screenshot shot = screenshot_of_dialog(
            display, where, screenshot_path(dir, std::string("dialog-") + key + ".png"));
        expect_dialog_on_screen(shot, where);

        display.x("xdotool windowfocus --sync " + dialog + " key " + key);
        bool other_window = false;
        while (program.running()) {
            for (const std::string& id : windows_named(display, kTitle))
                if (!is_dialog(geometry_of(display, id))) other_window = true;
            if (program.wait(0.02) >= 0) break;
        }
        EXPECT_EQ(program.wait(10), 0) << program.output();
        EXPECT_FALSE(other_window);
        EXPECT_TRUE(windows_named(display, kTitle).empty());
        EXPECT_EQ(program.output().find("ERROR:"), std::string::npos) << program.output();
        EXPECT_TRUE(run_command("ls -A '" + work.path() + "'").output.empty());
    }
}

TEST_F(ProgramE2ETest, EnterRunsTheShowUntilEscape) {
    test_support::TempDir work;
    write_small_archive(work.path());
    ProgramRun program(program_in(&display, work.path(), dir.file("output.txt")));

    std::string dialog = wait_for_window(display, is_dialog, 20);
    ASSERT_FALSE(dialog.empty()) << program.output();
    Geometry where = geometry_of(display, dialog);
    Screenshot shot = screenshot_of_dialog(display, where, screenshot_path(dir, "dialog-enter.png"));
    expect_dialog_on_screen(shot, where);

    // The dialog offers the display's one mode, full screen: the show covers
    // the screen.
    display.x("xdotool windowfocus --sync " + dialog + " key Return");
    auto full_screen = [](const Geometry& g) {
        return g.x == 0 && g.y == 0 && g.width == kScreenWidth && g.height == kScreenHeight;
    };
    std::string show = wait_for_window(display, full_screen, 20);
    ASSERT_FALSE(show.empty()) << program.output();
    EXPECT_TRUE(wait_for_window(display, is_dialog, 0.1).empty());

    // Frames keep coming: what the show draws hides the white root, and the
    // program is still there a moment later.
    auto deadline = Clock::now() + std::chrono::seconds(10);
    Screenshot frame = take_screenshot(display, screenshot_path(dir, "show.png"));
    while (Clock::now() < deadline && frame.share_of_white() >= 0.5) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        frame = take_screenshot(display, screenshot_path(dir, "show.png"));
    }
    ASSERT_EQ(frame.width, kScreenWidth);
    EXPECT_LT(frame.share_of_white(), 0.5);
    // The loading screen fades out for a second first (Escape during loading
    // ends the run with status 1).
    EXPECT_EQ(program.wait(1.5), -1) << "the show ended by itself: " << program.output();

    display.x("xdotool windowfocus --sync " + show + " key Escape");
    EXPECT_EQ(program.wait(20), 0) << program.output();
    EXPECT_EQ(program.output().find("ERROR:"), std::string::npos) << program.output();
}

TEST(ProgramWithoutDisplay, EndsAtOnceWhenTheDialogCannotBeShown) {
    test_support::TempDir dir;
    ProgramRun program(program_in(nullptr, dir.path(), dir.file("output.txt")));
    EXPECT_EQ(program.wait(20), 0) << program.output();
    EXPECT_EQ(program.output().find("ERROR:"), std::string::npos) << program.output();
}

}  // namespace
