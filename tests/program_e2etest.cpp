// The real program on a virtual display of its own: the setup dialog is found
// by its title, photographed and answered with key presses, as a person would.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "scenes.h"
#include "support/e2e_display.h"
#include "support/test_support.h"
#include "util/music/synctimeline.h"
#include "util/music/synctrack.h"

namespace {

using test_support::expect_dialog_on_screen;
using test_support::Geometry;
using test_support::is_dialog;
using test_support::ProgramRun;
using test_support::Screenshot;
using test_support::VirtualDisplay;
using test_support::geometry_of;
using test_support::run_command;
using test_support::screenshot_of_dialog;
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

std::string screenshot_path(const test_support::TempDir& dir, const std::string& name) {
    return test_support::screenshot_path(dir.path(), name);
}

class ProgramE2ETest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(display.ok()) << "Xvfb did not start"; }

    VirtualDisplay display;
    test_support::TempDir dir;
};

TEST_F(ProgramE2ETest, EscapeInTheDialogQuitsBeforeAnyWindow) {
    // Escape, the Quit button's mnemonic, and Space on Quit reached with
    // Shift+Tab from the first list (back round over Vsync and Get mp3).
    for (const char* key : {"Escape", "alt+q", "shift+Tab shift+Tab shift+Tab space"}) {
        SCOPED_TRACE(key);
        test_support::TempDir work;  // stays empty: quitting writes nothing
        ProgramRun program(program_in(&display, work.path(), dir.file("output.txt")));

        std::string dialog = wait_for_window(display, is_dialog, 60);
        ASSERT_FALSE(dialog.empty()) << program.output();
        Geometry where = geometry_of(display, dialog);
        Screenshot shot = screenshot_of_dialog(
            display, where, screenshot_path(dir, std::string("dialog-") + key + ".png"));
        expect_dialog_on_screen(shot, where);

        test_support::press_keys(display, dialog, key);
        bool other_window = false;
        while (program.running()) {
            for (const std::string& id : windows_named(display, kTitle))
                if (!is_dialog(geometry_of(display, id))) other_window = true;
            if (program.wait(0.02) >= 0) break;
        }
        EXPECT_EQ(program.wait(60), 0) << program.output();
        EXPECT_FALSE(other_window);
        EXPECT_TRUE(windows_named(display, kTitle).empty());
        EXPECT_EQ(program.output().find("ERROR:"), std::string::npos) << program.output();
        EXPECT_TRUE(run_command("ls -A '" + work.path() + "'").output.empty());
    }
}

// The window with the keyboard focus, "" when none can be read.
std::string focused_window(const VirtualDisplay& display) {
    std::string id = display.x("xdotool getwindowfocus").output;
    while (!id.empty() && (id.back() == '\n' || id.back() == ' ')) id.pop_back();
    return id;
}

// Get mp3 with the keyboard alone, on a display without a window manager:
// the "Success" box takes the keys (Return or Escape closes it), then the
// dialog has them back, with Run as the button Enter presses.
TEST_F(ProgramE2ETest, GetMp3ShowsABoxTheKeyboardClosesAndHandsTheKeysBackToTheDialog) {
    const std::string archive = test_support::binary_path("run/tidewell/data.tlx");
    ASSERT_TRUE(std::filesystem::exists(archive)) << archive << " is packed by the build";
    const std::string mp3 = "Krestel_-_Tidewell.mp3";
    const struct {
        const char* box_key;    // closes the box
        const char* next_key;   // then goes to the dialog
        bool runs;              // the show comes up
    } cases[] = {{"Return", "Return", true}, {"Escape", "Escape", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box_key);
        test_support::TempDir work;
        std::filesystem::create_symlink(archive, work.file("data.tlx"));
        ProgramRun program(program_in(&display, work.path(), dir.file("output.txt")));
        std::string dialog = wait_for_window(display, is_dialog, 60);
        ASSERT_FALSE(dialog.empty()) << program.output();
        test_support::press_keys(display, dialog, "alt+m");

        // The box comes up with the keyboard focus.
        std::string box;
        auto deadline = Clock::now() + std::chrono::seconds(60);
        while (Clock::now() < deadline && program.running()) {
            for (const test_support::Window& w : test_support::visible_windows(display))
                if (w.title == "Success") box = w.id;
            if (!box.empty() && std::stoul(focused_window(display)) == std::stoul(box)) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ASSERT_FALSE(box.empty()) << program.output();
        ASSERT_EQ(focused_window(display), box) << "the box has no keyboard";
        EXPECT_EQ(test_support::read_file(work.file(mp3)),
                  test_support::read_file(test_support::source_path("data/music/" + mp3)));

        // Keys go wherever the focus is, as a person's do.
        display.x(std::string("xdotool key ") + c.box_key);
        auto box_gone = [&] {
            for (const test_support::Window& w : test_support::visible_windows(display))
                if (w.title == "Success") return false;
            return true;
        };
        deadline = Clock::now() + std::chrono::seconds(30);
        while (Clock::now() < deadline && !box_gone()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ASSERT_TRUE(box_gone()) << c.box_key << " did not close the box";
        deadline = Clock::now() + std::chrono::seconds(30);
        while (Clock::now() < deadline && focused_window(display) != dialog)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ASSERT_EQ(focused_window(display), dialog) << "the dialog did not get the keyboard back";
        EXPECT_EQ(program.wait(0.2), -1) << "closing the box closed the dialog: " << program.output();

        display.x(std::string("xdotool key ") + c.next_key);
        std::string show;
        if (c.runs) {
            show = wait_for_window(display, test_support::is_full_screen, 60);
            ASSERT_FALSE(show.empty()) << "Enter did not run the show: " << program.output();
        }
        // Escape ends the show, with status 1 while it still loads.
        const int status = c.runs ? test_support::escape_until_ended(display, program, show, 60) : program.wait(60);
        EXPECT_TRUE(status == 0 || (c.runs && status == 1)) << status << "\n" << program.output();
        EXPECT_EQ(program.output().find("ERROR:"), std::string::npos) << program.output();
        // One export: the second key press did not export again.
        EXPECT_EQ(program.output().find("Success"), std::string::npos) << program.output();
    }
}

// The test show (test scenes in place of production 0's, in 4:3) in a working
// folder with the pass shaders, the fonts and the track files of its timeline.
class TestShowE2ETest : public ProgramE2ETest {
protected:
    void SetUp() override {
        ProgramE2ETest::SetUp();
        std::filesystem::create_directories(run.file("data/sync_tracker"));
        std::filesystem::create_directory_symlink(test_support::source_path("data/effects"),
                                                  run.file("data/effects"));
        std::filesystem::create_directories(run.file("data/common"));
        std::filesystem::create_directory_symlink(test_support::source_path("data/common/fonts"),
                                                  run.file("data/common/fonts"));
        std::vector<SyncTrack> tracks;
        std::string error;
        ASSERT_TRUE(SyncTimeline::parse(
            test_support::read_file(test_support::source_path("tests/test_show/show.timeline")), &tracks, &error))
            << error;
        // Every track of the scene manager reads its default unless the
        // timeline keys it (written after, over its empty file).
        std::vector<SyncTrack> files;
        for (const std::string& name : manager_track_names()) files.push_back({name, {}});
        files.insert(files.end(), tracks.begin(), tracks.end());
        for (const SyncTrack& track : files) {
            std::vector<uint8_t> bytes = SyncTrackFile::encode(track.keys);
            std::ofstream(run.file("data/sync_tracker/_" + track.name + ".track"), std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        }
    }

    test_support::TempDir run;
};

TEST_F(TestShowE2ETest, EnterRunsTheShowLetterboxedUntilEscape) {
    const char* const title = "Internal debugging";
    ProgramRun::Options options = program_in(&display, run.path(), dir.file("output.txt"));
    options.program = test_support::binary_path("zembla_test_show");
    ProgramRun program(options);

    std::string dialog = test_support::wait_for_window(display, title, is_dialog, 60);
    ASSERT_FALSE(dialog.empty()) << program.output();
    screenshot_of_dialog(display, geometry_of(display, dialog), screenshot_path(dir, "show-dialog.png"));

    // The display's one mode, full screen; the 4:3 show leaves bars of 160
    // pixels at the left and right.
    display.x("xdotool windowfocus --sync " + dialog + " key Return");
    auto full_screen = [](const Geometry& g) {
        return g.x == 0 && g.y == 0 && g.width == kScreenWidth && g.height == kScreenHeight;
    };
    std::string show = test_support::wait_for_window(display, title, full_screen, 60);
    ASSERT_FALSE(show.empty()) << program.output();

    auto deadline = Clock::now() + std::chrono::seconds(60);
    Screenshot frame = take_screenshot(display, screenshot_path(dir, "show.png"));
    const Geometry picture{160, 0, 960, 720};
    while (Clock::now() < deadline && (frame.width != kScreenWidth || frame.colours_in(picture) < 8)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        frame = take_screenshot(display, screenshot_path(dir, "show.png"));
    }
    ASSERT_EQ(frame.width, kScreenWidth) << program.output();
    EXPECT_GE(frame.colours_in(picture), 8) << "the bands, turned and tinted";
    for (int x : {0, 100, 159, 1120, 1200, 1279})
        for (int y : {0, 360, 719}) {
            const unsigned char* p = frame.at(x, y);
            EXPECT_EQ(p[0] + p[1] + p[2], 0) << x << "," << y << ": the bars are black";
        }
    EXPECT_EQ(program.wait(0.5), -1) << "the show ended by itself: " << program.output();

    display.x("xdotool windowfocus --sync " + show + " key Escape");
    EXPECT_EQ(program.wait(60), 0) << program.output();
    EXPECT_EQ(program.output().find("ERROR:"), std::string::npos) << program.output();
}

TEST_F(TestShowE2ETest, TheKeyboardChoosesTheAspectRatio) {
    const char* const title = "Internal debugging";
    ProgramRun::Options options = program_in(&display, run.path(), dir.file("output.txt"));
    options.program = test_support::binary_path("zembla_test_show");
    ProgramRun program(options);

    std::string dialog = test_support::wait_for_window(display, title, is_dialog, 60);
    ASSERT_FALSE(dialog.empty()) << program.output();
    const Geometry where = geometry_of(display, dialog);
    screenshot_of_dialog(display, where, screenshot_path(dir, "keyboard-dialog.png"));
    // Tab to the aspect-ratio list, one down from "4:3" to "16:9"; Enter runs.
    test_support::press_keys(display, dialog, "Tab Tab");
    // The focus frame sits round the third list now (the picture is kept to
    // look at); then the choice.
    take_screenshot(display, screenshot_path(dir, "keyboard-dialog-focus.png"));
    test_support::press_keys(display, dialog, "Down Return");

    auto full_screen = [](const Geometry& g) {
        return g.x == 0 && g.y == 0 && g.width == kScreenWidth && g.height == kScreenHeight;
    };
    std::string show = test_support::wait_for_window(display, title, full_screen, 60);
    ASSERT_FALSE(show.empty()) << program.output();
    // In 16:9 the picture fills the screen: the columns that are black bars
    // in 4:3 show the bands.
    const Geometry left_columns{0, 0, 160, 720};
    auto deadline = Clock::now() + std::chrono::seconds(60);
    Screenshot frame = take_screenshot(display, screenshot_path(dir, "keyboard-show.png"));
    while (Clock::now() < deadline && (frame.width != kScreenWidth || frame.colours_in(left_columns) < 4)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        frame = take_screenshot(display, screenshot_path(dir, "keyboard-show.png"));
    }
    ASSERT_EQ(frame.width, kScreenWidth) << program.output();
    EXPECT_GE(frame.colours_in(left_columns), 4) << "no bars in 16:9";

    display.x("xdotool windowfocus --sync " + show + " key Escape");
    EXPECT_EQ(program.wait(60), 0) << program.output();
    EXPECT_EQ(program.output().find("ERROR:"), std::string::npos) << program.output();
}

TEST(ProgramWithoutDisplay, EndsAtOnceWhenTheDialogCannotBeShown) {
    test_support::TempDir dir;
    ProgramRun program(program_in(nullptr, dir.path(), dir.file("output.txt")));
    // Nothing was chosen, so the run is not a success; it says why, and no
    // fatal box was tried.
    EXPECT_EQ(program.wait(60), 1) << program.output();
    EXPECT_NE(program.output().find("The setup dialog could not be shown"), std::string::npos) << program.output();
    EXPECT_EQ(program.output().find("ERROR:"), std::string::npos) << program.output();
}

}  // namespace
