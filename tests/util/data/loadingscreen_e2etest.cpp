// The loading screen of the running program, watched on a virtual display:
// the program's real start-up on a production, loading a test data set
// slowly enough to be photographed (tests/drivers/loading_driver.cpp), in an
// 800 x 600 window whose 16:9 viewport is 800 x 450, 75 pixels from the top.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/e2e_display.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using test_support::Geometry;
using test_support::ProgramRun;
using test_support::Screenshot;
using test_support::VirtualDisplay;
using Clock = std::chrono::steady_clock;

constexpr int kPelltide = 2;  // progress bar under the logo, 500 ms fade
constexpr int kQuendle = 3;   // the ASCII screen, no fade
constexpr int kTidewell = 4;  // circles, 1000 ms fade
constexpr int kArchiveRead = 1;
constexpr int kArchiveWrite = 2;
constexpr int kFiles = 80;
// A pause after each file that makes loading last 8 s: long enough to watch
// it, and to press a key in time, on a loaded machine.
constexpr int kWatchedPauseMs = 100;
// 20 s: slower still where a key must come in the second half of the loading.
constexpr int kKeyInTimePauseMs = 250;

const char* title_of(int production) {
    return production == kPelltide ? "Pelltide" : production == kQuendle ? "Quendle" : "Wembrel - tidewell";
}

// A point of the show window's 16:9 viewport in unit-square coordinates.
struct Viewport {
    Geometry window;
    int x(float u) const { return window.x + static_cast<int>(u * 800.0f); }
    int y(float v) const { return window.y + 75 + static_cast<int>((1.0f - v) * 450.0f); }
};

bool is_white(const unsigned char* p) { return p[0] == 255 && p[1] == 255 && p[2] == 255; }
bool is_black(const unsigned char* p) { return p[0] == 0 && p[1] == 0 && p[2] == 0; }

// A logo of 160 x 90: red on the left half, blue on the right.
void write_logo(const std::string& path) {
    const int width = 160, height = 90;
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
    for (int i = 0; i < width * height; ++i) {
        bool left = i % width < width / 2;
        rgba[i * 4 + 0] = left ? 255 : 0;
        rgba[i * 4 + 2] = left ? 0 : 255;
        rgba[i * 4 + 3] = 255;
    }
    ASSERT_TRUE(test_support::write_png(path, width, height, 4, rgba.data(), false));
}

class LoadingScreenE2E : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display_.ok()) << "Xvfb did not start";
        fs::create_directories(work_.file("data/common/images"));
        fs::create_directories(work_.file("data/scene"));
        write_logo(work_.file("data/common/images/orvenhal_logo_16_9.png"));
        std::mt19937 random(7);
        std::ofstream list(list_file());
        for (int i = 0; i < kFiles; ++i) {
            std::string name = "data/scene/part" + std::to_string(i) + ".bin";
            std::ofstream file(work_.file(name), std::ios::binary);
            for (int k = 0; k < 4096; ++k) file.put(static_cast<char>(random()));
            list << name << "\n";
        }
    }

    std::string list_file() const { return out_.file("files.txt"); }

    std::unique_ptr<ProgramRun> start(int production, int mode, int pause_ms) {
        ProgramRun::Options options;
        options.program = test_support::binary_path("loading_driver");
        options.arguments = {std::to_string(production), std::to_string(mode), list_file(),
                             std::to_string(pause_ms)};
        options.working_dir = work_.path();
        options.output_file = out_.file("output" + std::to_string(runs_++) + ".txt");
        options.display = &display_;
        options.environment = {{"TMPDIR", temp_.path()}};
        return std::make_unique<ProgramRun>(options);
    }

    // The show window of the production, focused for keys.
    std::string show_window(int production) {
        auto window = [](const Geometry& g) { return g.width == 800 && g.height == 600; };
        std::string id = test_support::wait_for_window(display_, title_of(production), window, 60);
        if (!id.empty()) display_.x("xdotool windowfocus --sync " + id);
        return id;
    }

    Screenshot shot(const std::string& name) {
        return test_support::take_screenshot(display_,
                                             test_support::screenshot_path(out_.path(), name + ".png"));
    }

    void press_escape(const std::string& window) {
        display_.x("xdotool windowfocus --sync " + window + " key Escape");
    }

    std::vector<std::string> temp_files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(temp_.path())) names.push_back(entry.path().string());
        return names;
    }

    bool archive_written() const { return fs::exists(work_.file("data.tlx")); }

    // Waits for the driver's line that the loading screen, fade-out
    // included, is over and the show runs.
    bool wait_for_the_show(ProgramRun& program) {
        auto deadline = Clock::now() + std::chrono::seconds(60);
        while (program.output().find("The show runs\n") == std::string::npos && program.running() &&
               Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return program.output().find("The show runs\n") != std::string::npos;
    }

    // A write-mode run at full speed that packs the data set into data.tlx,
    // then the data set moved away: the archive is all a later run has.
    void pack_archive(int production) {
        auto program = start(production, kArchiveWrite, 0);
        std::string window = show_window(production);
        ASSERT_FALSE(window.empty()) << program->output();
        ASSERT_TRUE(wait_for_the_show(*program)) << program->output();
        ASSERT_TRUE(archive_written());
        press_escape(window);
        ASSERT_EQ(program->wait(60), 0) << program->output();
        fs::rename(work_.file("data"), work_.file("data-moved"));
    }

    VirtualDisplay display_;
    test_support::TempDir work_;  // the program's working folder
    test_support::TempDir temp_;  // its TMPDIR
    test_support::TempDir out_;   // lists, output, screenshots
    int runs_ = 0;
};

// How far the progress bar's fill reaches, 0 to 1, read along the middle of
// the bar; -1 when the frame is not on screen.
float fill_of(const Screenshot& s, const Viewport& v) {
    const int row = v.y(0.075f);
    if (!is_white(s.at(v.x(0.1f) - 2, row)) || !is_white(s.at(v.x(0.9f) + 2, row))) return -1.0f;
    int x = v.x(0.1f) + 1;
    while (x < v.x(0.9f) && is_white(s.at(x, row))) ++x;
    return static_cast<float>(x - v.x(0.1f)) / 640.0f;
}

bool shows_logo(const Screenshot& s, const Viewport& v) {
    const unsigned char* left = s.at(v.x(0.25f), v.y(0.5f));
    const unsigned char* right = s.at(v.x(0.75f), v.y(0.5f));
    return left[0] == 255 && left[2] == 0 && right[0] == 0 && right[2] == 255;
}

TEST_F(LoadingScreenE2E, ProgressBarUnderTheLogoGrowsWhileLoadingAndEscapeEndsTheRun) {
    // Write mode: the bar counts redraws.
    auto program = start(kPelltide, kArchiveWrite, kWatchedPauseMs);
    std::string window = show_window(kPelltide);
    ASSERT_FALSE(window.empty()) << program->output();
    Viewport v{test_support::geometry_of(display_, window)};

    // Pictures as fast as they come until the bar has grown (a loaded
    // machine may manage only a few before the archive is written).
    std::vector<float> fills;
    auto grown = [&] { return fills.size() >= 2 && fills.back() > fills.front(); };
    auto deadline = Clock::now() + std::chrono::seconds(60);
    for (int i = 0; !grown() && !archive_written() && program->running() && Clock::now() < deadline; ++i) {
        Screenshot s = shot("pelltide-writing-" + std::to_string(i));
        if (archive_written()) break;  // the picture may be of the fade-out
        ASSERT_EQ(s.width, VirtualDisplay::kWidth);
        if (!shows_logo(s, v)) continue;  // drawn before the logo was loaded
        // Black bars above and below the 16:9 viewport, the logo in it.
        EXPECT_TRUE(is_black(s.at(v.x(0.5f), v.window.y + 30)));
        EXPECT_TRUE(is_black(s.at(v.x(0.5f), v.window.y + 570)));
        EXPECT_TRUE(is_white(s.at(v.x(0.5f), v.y(0.1f) + 1)));  // the frame's top border
        fills.push_back(fill_of(s, v));
    }
    ASSERT_TRUE(grown()) << program->output();
    for (size_t i = 1; i < fills.size(); ++i) EXPECT_GE(fills[i], fills[i - 1]);
    EXPECT_LT(fills.back(), 0.5f);

    // The show after the fade-out; Escape there ends it as usual.
    ASSERT_TRUE(wait_for_the_show(*program)) << program->output();
    press_escape(window);
    EXPECT_EQ(program->wait(60), 0) << program->output();
    EXPECT_TRUE(temp_files().empty());

    // Read mode from the archive alone: the bar shows the share of the
    // archive loaded. Escape once it is past the middle ends the run at once
    // with status 1.
    fs::rename(work_.file("data"), work_.file("data-moved"));
    program = start(kPelltide, kArchiveRead, kKeyInTimePauseMs);
    window = show_window(kPelltide);
    ASSERT_FALSE(window.empty()) << program->output();
    float fill = -1.0f;
    deadline = Clock::now() + std::chrono::seconds(30);
    for (int i = 0; fill < 0.5f && program->running() && Clock::now() < deadline; ++i) {
        Screenshot s = shot("pelltide-reading-" + std::to_string(i));
        if (shows_logo(s, v)) fill = fill_of(s, v);
    }
    ASSERT_GE(fill, 0.5f) << program->output();
    EXPECT_LT(fill, 1.0f);
    press_escape(window);
    EXPECT_EQ(program->wait(60), 1) << program->output();
    EXPECT_EQ(program->output().find("ERROR"), std::string::npos) << program->output();
}

// Where the glow's ring begins, right of its centre at (0.1, 0.1): black
// inside the ring.
int ring_radius(const Screenshot& s, const Viewport& v) {
    const int y = v.y(0.1f);
    for (int x = v.x(0.1f); x < v.x(0.5f); ++x)
        if (!is_black(s.at(x, y))) return x - v.x(0.1f);
    return -1;
}

TEST_F(LoadingScreenE2E, CirclesGlowWidensWhileLoadingAndFadesOut) {
    ASSERT_NO_FATAL_FAILURE(pack_archive(kTidewell));
    auto program = start(kTidewell, kArchiveRead, 40);
    std::string window = show_window(kTidewell);
    ASSERT_FALSE(window.empty()) << program->output();
    Viewport v{test_support::geometry_of(display_, window)};

    // The ring grows to 0.035 of the width, 28 pixels.
    std::vector<int> radii;
    auto deadline = Clock::now() + std::chrono::seconds(60);
    for (int i = 0; radii.empty() || radii.back() < 26; ++i) {
        ASSERT_LT(Clock::now(), deadline) << program->output();
        Screenshot s = shot("tidewell-" + std::to_string(i));
        int r = ring_radius(s, v);
        if (r > 0) radii.push_back(r);
    }
    ASSERT_GE(radii.size(), 3u);
    for (size_t i = 1; i < radii.size(); ++i) EXPECT_GE(radii[i], radii[i - 1]);
    EXPECT_LE(radii.back(), 29);

    // Then it fades to black and the show begins (black here too).
    deadline = Clock::now() + std::chrono::seconds(30);
    Screenshot s = shot("tidewell-end");
    while (Clock::now() < deadline && s.colours_in(v.window) > 1) s = shot("tidewell-end");
    EXPECT_EQ(s.colours_in(v.window), 1);
    EXPECT_TRUE(is_black(s.at(v.x(0.1f) + 30, v.y(0.1f))));
    press_escape(window);
    EXPECT_EQ(program->wait(60), 0) << program->output();
}

// The ASCII screen at 4:3 in the middle of the 800 x 450 viewport: 600 x 450
// from x = 100, cells of 7.5 x 9 pixels. The bar's rows 44-46 are window
// rows 75 + 396 to 75 + 423.
struct AsciiBar {
    Geometry window;
    // How many pixel columns of the bar's middle row are lit, or -1 when
    // anything outside the bar is lit.
    int lit_columns(const Screenshot& s) const {
        for (int y = window.y; y < window.y + 600; y += 7)
            for (int x = window.x; x < window.x + 800; x += 7) {
                const bool in_bar = x >= window.x + 100 && x < window.x + 130 && y >= window.y + 471 &&
                                    y < window.y + 498;
                if (!in_bar && !is_black(s.at(x, y))) return -1;
            }
        int lit = 0;
        for (int x = window.x + 100; x < window.x + 140; ++x) lit += !is_black(s.at(x, window.y + 489));
        return lit;
    }
};

TEST_F(LoadingScreenE2E, AsciiScreenShowsItsBarGrowWhileReadingAndEscapeEndsTheRun) {
    ASSERT_NO_FATAL_FAILURE(pack_archive(kQuendle));
    auto program = start(kQuendle, kArchiveRead, kKeyInTimePauseMs);
    std::string window = show_window(kQuendle);
    ASSERT_FALSE(window.empty()) << program->output();
    AsciiBar bar{test_support::geometry_of(display_, window)};

    // From one cell (7 or 8 pixels) to three or more of the four.
    std::vector<int> widths;
    auto deadline = Clock::now() + std::chrono::seconds(60);
    while ((widths.empty() || widths.back() < 22) && program->running() && Clock::now() < deadline) {
        Screenshot s = shot("quendle-" + std::to_string(widths.size()));
        int lit = bar.lit_columns(s);
        ASSERT_GE(lit, 0) << "lit outside the bar";
        if (lit > 0) widths.push_back(lit);
    }
    ASSERT_GE(widths.size(), 2u) << program->output();
    EXPECT_LE(widths.front(), 15);
    EXPECT_GE(widths.back(), 22);
    for (size_t i = 1; i < widths.size(); ++i) EXPECT_GE(widths[i], widths[i - 1]);

    press_escape(window);
    EXPECT_EQ(program->wait(60), 1) << program->output();
    EXPECT_TRUE(temp_files().empty());
    EXPECT_EQ(program->output().find("ERROR"), std::string::npos) << program->output();
}

TEST_F(LoadingScreenE2E, EscapeDuringTheFadeOutRemovesTheTemporaryFiles) {
    // The archive's staging file lives from its writing until the end of the
    // run; the one-second fade-out follows the writing.
    auto program = start(kTidewell, kArchiveWrite, 10);
    std::string window = show_window(kTidewell);
    ASSERT_FALSE(window.empty()) << program->output();
    auto deadline = Clock::now() + std::chrono::seconds(20);
    while (!archive_written() && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(archive_written()) << program->output();
    std::vector<std::string> staging = temp_files();
    display_.x("xdotool key Escape");

    EXPECT_EQ(program->wait(60), 1) << program->output();
    ASSERT_EQ(staging.size(), 1u);
    EXPECT_NE(staging[0].find("/tlx"), std::string::npos) << staging[0];
    EXPECT_TRUE(temp_files().empty());
}

TEST_F(LoadingScreenE2E, EscapeWhileTheScenesLoadEndsTheRunWithoutAnArchive) {
    auto program = start(kTidewell, kArchiveWrite, kWatchedPauseMs);
    std::string window = show_window(kTidewell);
    ASSERT_FALSE(window.empty()) << program->output();
    // Escape once the loading screen shows.
    Viewport v{test_support::geometry_of(display_, window)};
    auto deadline = Clock::now() + std::chrono::seconds(30);
    for (int i = 0; ring_radius(shot("tidewell-loading-" + std::to_string(i)), v) <= 0; ++i)
        ASSERT_LT(Clock::now(), deadline) << program->output();
    press_escape(window);
    EXPECT_EQ(program->wait(60), 1) << program->output();
    EXPECT_FALSE(archive_written());
    EXPECT_TRUE(temp_files().empty());
    EXPECT_EQ(program->output().find("ERROR"), std::string::npos) << program->output();
}

}  // namespace
