// Connecting SDL's video layer to a display that is not there yet, or never
// comes: an X server that resets as its last client leaves drops a client
// connecting meanwhile, and SDL then falls back to a driver that draws
// nowhere. The connection is tried again while a display is named, until a
// deadline; without a display, the first answer stands.
#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "support/e2e_display.h"
#include "support/test_support.h"
#include "system/sdl_video.h"

namespace {

using test_support::ProcessGroup;
using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The display variables for the length of a test. Without a runtime folder
// (as under CI) SDL's Wayland driver says so on the console at each try.
class SdlVideoConnect : public ::testing::Test {
protected:
    static constexpr const char* kVariables[] = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER", "XDG_RUNTIME_DIR"};

    void SetUp() override {
        for (const char* name : kVariables) {
            if (const char* value = std::getenv(name)) saved_.push_back({name, value});
            unsetenv(name);
        }
    }
    void TearDown() override {
        if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_QuitSubSystem(SDL_INIT_VIDEO);
        for (const char* name : kVariables) unsetenv(name);
        for (const auto& variable : saved_) setenv(variable.first.c_str(), variable.second.c_str(), 1);
    }

    // A display number that no server holds and that no other test's
    // display will take meanwhile: those pick the lowest free numbers, so
    // this one is searched for far above them.
    static std::string unused_display() {
        for (int n = 2000 + getpid() % 3000; n < 9000; ++n) {
            const std::string number = std::to_string(n);
            if (access(("/tmp/.X" + number + "-lock").c_str(), F_OK) != 0 &&
                access(("/tmp/.X11-unix/X" + number).c_str(), F_OK) != 0)
                return ":" + number;
        }
        return "";
    }

    std::vector<std::pair<std::string, std::string>> saved_;
};

TEST_F(SdlVideoConnect, WaitsForANamedDisplayThatComesUpLate) {
    const std::string display = unused_display();
    ASSERT_FALSE(display.empty());
    setenv("DISPLAY", display.c_str(), 1);

    // The server lives in a thread that stays until the connection is
    // settled: a child started from a thread gets its parent-death signal
    // when that thread ends.
    std::promise<void> settled;
    std::thread starter([&display, done = settled.get_future()] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        ProcessGroup server({"Xvfb", display, "-screen", "0", "64x64x24", "-nolisten", "tcp"}, [] {
            const int null = open("/dev/null", O_WRONLY);
            return dup2(null, 1) == 1 && dup2(null, 2) == 2;
        });
        done.wait();
    });
    const auto start = Clock::now();
    std::string why;
    const bool connected = sdl_video_connect(60.0, why);
    const double waited = seconds_since(start);
    const std::string driver = connected ? SDL_GetCurrentVideoDriver() : "";
    if (connected) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    settled.set_value();
    starter.join();

    ASSERT_TRUE(connected) << why;
    EXPECT_EQ(driver, "x11");
    EXPECT_GE(waited, 1.0);
}

TEST_F(SdlVideoConnect, GivesUpAtTheDeadlineOrAtOnceWithoutADisplay) {
    const struct {
        const char* name;
        bool display_named;
        double deadline;
        double min_seconds;
        double max_seconds;
    } cases[] = {
        // Tried again until the deadline.
        {"named display with no server", true, 1.0, 1.0, 30.0},
        // Nothing to wait for: the offscreen fallback is the answer.
        {"no display", false, 30.0, 0.0, 10.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.display_named) {
            const std::string display = unused_display();
            ASSERT_FALSE(display.empty());
            setenv("DISPLAY", display.c_str(), 1);
        } else {
            unsetenv("DISPLAY");
        }
        const auto start = Clock::now();
        std::string why;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(sdl_video_connect(c.deadline, why));
        const std::string said = testing::internal::GetCapturedStderr();
        const double waited = seconds_since(start);
        // Whatever SDL's drivers print at the first try is not printed again
        // at every later one.
        std::istringstream lines(said);
        std::set<std::string> seen;
        for (std::string line; std::getline(lines, line);) EXPECT_TRUE(seen.insert(line).second) << line;
        // Nor, for a named display, at a later call (the window's, after the
        // dialog's).
        if (c.display_named) {
            testing::internal::CaptureStderr();
            EXPECT_FALSE(sdl_video_connect(0.0, why));
            std::istringstream later(testing::internal::GetCapturedStderr());
            for (std::string line; std::getline(later, line);) EXPECT_EQ(seen.count(line), 0u) << line;
        }
        EXPECT_GE(waited, c.min_seconds);
        EXPECT_LE(waited, c.max_seconds);
        EXPECT_FALSE(SDL_WasInit(SDL_INIT_VIDEO));
        EXPECT_FALSE(why.empty());
    }
}

}  // namespace
