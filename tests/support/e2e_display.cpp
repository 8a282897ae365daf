#include "support/e2e_display.h"

#include <fcntl.h>
#include <png.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace test_support {

using Clock = std::chrono::steady_clock;

// --- processes -------------------------------------------------------------------------

namespace {

// How long a process may take to end after SIGTERM before it gets SIGKILL.
constexpr double kGraceSeconds = 3.0;

Clock::time_point after(double seconds) {
    return Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

}  // namespace

ProcessGroup::ProcessGroup(const std::vector<std::string>& argv, const std::function<bool()>& in_child) {
    // Orphans of the group (a process whose parent ended first) come to this
    // process rather than to init, so that `end` reaps them too.
    static const bool adopting = prctl(PR_SET_CHILD_SUBREAPER, 1) == 0;
    (void)adopting;
    // Everything the child needs is prepared before the fork.
    std::vector<std::string> words = argv;
    std::vector<char*> args;
    for (std::string& word : words) args.push_back(&word[0]);
    args.push_back(nullptr);
    const pid_t parent = getpid();

    pid_ = fork();
    if (pid_ == 0) {
        setpgid(0, 0);
        // Should the test process die without ending the group, the child
        // hears of it (`timeout` passes it on to the whole group).
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) _exit(127);
        if (in_child && !in_child()) _exit(127);
        execvp(args[0], args.data());
        _exit(127);
    }
    // Set from both sides: whichever runs first, the group exists before
    // anything could signal it.
    if (pid_ > 0) setpgid(pid_, pid_);
}

ProcessGroup::~ProcessGroup() { end(); }

bool ProcessGroup::running() {
    if (pid_ <= 0 || finished_) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) finish(status);
    return !finished_;
}

int ProcessGroup::wait(double seconds) {
    auto deadline = after(seconds);
    while (running() && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return finished_ ? status_ : -1;
}

void ProcessGroup::end() {
    if (pid_ <= 0 || ended_) return;
    ended_ = true;
    if (running()) {
        kill(-pid_, SIGTERM);
        kill(-pid_, SIGCONT);  // a paused group hears the SIGTERM only once it goes on
        wait(kGraceSeconds);
    }
    // Whatever of the group is left, the process itself or what it started.
    kill(-pid_, SIGKILL);
    int status = 0;
    if (!finished_ && waitpid(pid_, &status, 0) == pid_) finish(status);
    while (waitpid(-pid_, nullptr, 0) > 0) {
    }
}

void ProcessGroup::pause() {
    if (running()) kill(-pid_, SIGSTOP);
}

void ProcessGroup::resume() {
    if (running()) kill(-pid_, SIGCONT);
}

void ProcessGroup::finish(int status) {
    finished_ = true;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

CommandResult run_command(const std::string& command, double seconds) {
    CommandResult result{-1, ""};
    int fds[2];
    if (pipe(fds) != 0) return result;
    ProcessGroup shell({"/bin/sh", "-c", command}, [&] {
        close(fds[0]);
        return dup2(fds[1], 1) == 1;
    });
    close(fds[1]);
    auto deadline = after(seconds);
    pollfd out{fds[0], POLLIN, 0};
    char buffer[4096];
    while (Clock::now() < deadline) {
        if (poll(&out, 1, 100) <= 0) continue;
        ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        result.output.append(buffer, static_cast<size_t>(n));
    }
    close(fds[0]);
    double left = std::chrono::duration<double>(deadline - Clock::now()).count();
    result.status = shell.wait(left > 0 ? left : 0);
    return result;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// --- the display -----------------------------------------------------------------------

VirtualDisplay::VirtualDisplay(int width, int height) {
    int fds[2];
    if (pipe(fds) != 0) return;
    std::string fd = std::to_string(fds[1]);
    std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    server_ = std::make_unique<ProcessGroup>(
        // -noreset: a server that resets as its last client leaves drops a
        // client connecting meanwhile (the program, xdotool, import).
        std::vector<std::string>{"Xvfb", "-displayfd", fd, "-screen", "0", screen, "-nolisten",
                                 "tcp", "-wr", "-noreset"},
        [&] {
            close(fds[0]);
            int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            return true;
        });
    close(fds[1]);
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (!number.empty()) name_ = ":" + number;
}

VirtualDisplay::~VirtualDisplay() = default;

CommandResult VirtualDisplay::x(const std::string& command) const {
    return run_command("DISPLAY=" + name_ + " " + command + " 2>/dev/null", 20);
}

// --- the program -----------------------------------------------------------------------

namespace {

std::vector<std::string> timed_command(const ProgramRun::Options& options) {
    std::vector<std::string> words = {"timeout", "-k", "5", std::to_string(options.timeout_seconds),
                                      options.program};
    words.insert(words.end(), options.arguments.begin(), options.arguments.end());
    return words;
}

}  // namespace

ProgramRun::ProgramRun(const Options& options)
    : output_file_(options.output_file), process_(timed_command(options), [&options] {
          if (chdir(options.working_dir.c_str()) != 0) return false;
          int out = open(options.output_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
          dup2(out, 1);
          dup2(out, 2);
          if (options.display)
              setenv("DISPLAY", options.display->name().c_str(), 1);
          else
              unsetenv("DISPLAY");
          unsetenv("WAYLAND_DISPLAY");
          for (const auto& variable : options.environment)
              setenv(variable.first.c_str(), variable.second.c_str(), 1);
          return true;
      }) {}

ProgramRun::~ProgramRun() = default;

// --- windows ---------------------------------------------------------------------------

std::vector<std::string> windows_named(const VirtualDisplay& display, const std::string& title) {
    CommandResult found = display.x("xdotool search --name '^" + title + "$'");
    std::vector<std::string> ids;
    std::istringstream lines(found.output);
    std::string id;
    while (lines >> id) ids.push_back(id);
    return ids;
}

std::vector<Window> visible_windows(const VirtualDisplay& display) {
    CommandResult found = display.x(
        "sh -c 'for w in $(xdotool search --onlyvisible --maxdepth 1 \"\"); do "
        "printf \"%s %s\\n\" $w \"$(xdotool getwindowname $w)\"; done'");
    std::vector<Window> windows;
    std::istringstream lines(found.output);
    std::string line;
    while (std::getline(lines, line)) {
        size_t blank = line.find(' ');
        if (blank != std::string::npos) windows.push_back({line.substr(0, blank), line.substr(blank + 1)});
    }
    return windows;
}

Geometry geometry_of(const VirtualDisplay& display, const std::string& id) {
    Geometry g;
    std::istringstream lines(display.x("xdotool getwindowgeometry --shell " + id).output);
    std::string line;
    while (std::getline(lines, line)) {
        auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq);
        int value = std::atoi(line.c_str() + eq + 1);
        if (key == "X") g.x = value;
        if (key == "Y") g.y = value;
        if (key == "WIDTH") g.width = value;
        if (key == "HEIGHT") g.height = value;
    }
    return g;
}

std::string wait_for_window(const VirtualDisplay& display, const std::string& title,
                            const std::function<bool(const Geometry&)>& wanted, double seconds) {
    auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < deadline) {
        for (const std::string& id : windows_named(display, title))
            if (wanted(geometry_of(display, id))) return id;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return "";
}

// --- screenshots -----------------------------------------------------------------------

int Screenshot::colours_in(const Geometry& g, int cap) const {
    std::vector<unsigned> seen;
    for (int y = g.y; y < g.y + g.height; ++y)
        for (int x = g.x; x < g.x + g.width; ++x) {
            const unsigned char* p = at(x, y);
            unsigned c = (p[0] << 16) | (p[1] << 8) | p[2];
            bool known = false;
            for (unsigned s : seen) known = known || s == c;
            if (!known) seen.push_back(c);
            if (static_cast<int>(seen.size()) >= cap) return cap;
        }
    return static_cast<int>(seen.size());
}

double Screenshot::share_of_white() const {
    size_t white = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        if (rgb[i] == 255 && rgb[i + 1] == 255 && rgb[i + 2] == 255) ++white;
    return rgb.empty() ? 1.0 : static_cast<double>(white) / (rgb.size() / 3);
}

Screenshot take_screenshot(const VirtualDisplay& display, const std::string& file) {
    Screenshot shot;
    if (display.x("import -window root '" + file + "'").status != 0) return shot;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.c_str())) return shot;
    image.format = PNG_FORMAT_RGB;
    shot.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, shot.rgb.data(), 0, nullptr)) {
        shot.rgb.clear();
        return shot;
    }
    shot.width = static_cast<int>(image.width);
    shot.height = static_cast<int>(image.height);
    return shot;
}

Screenshot wait_for_screen(const VirtualDisplay& display, const std::function<bool(const Screenshot&)>& wanted,
                           double seconds, const std::string& file, ProgramRun* stepped) {
    // A slice is short next to what the program takes to load, and a
    // screenshot's time, however long, passes while it stands still.
    constexpr auto kSlice = std::chrono::milliseconds(20);
    const auto deadline = after(seconds);
    Screenshot shot;
    do {
        if (stepped) {
            stepped->resume();
            std::this_thread::sleep_for(kSlice);
            stepped->pause();
        }
        shot = take_screenshot(display, file);
    } while (!wanted(shot) && Clock::now() < deadline);
    if (stepped) stepped->resume();
    return shot;
}

std::string screenshot_path(const std::string& fallback_dir, const std::string& name) {
    const std::string keep = screenshot_folder();
    return (keep.empty() ? fallback_dir : keep) + "/" + name;
}

bool is_dialog(const Geometry& g) { return g.width == 270 && g.height == 150; }

bool is_full_screen(const Geometry& g) {
    return g.x == 0 && g.y == 0 && g.width == VirtualDisplay::kWidth && g.height == VirtualDisplay::kHeight;
}

void press_keys(const VirtualDisplay& display, const std::string& window, const std::string& keys) {
    display.x("xdotool windowfocus --sync " + window + " key " + keys);
}

int escape_until_ended(const VirtualDisplay& display, ProgramRun& run, const std::string& window, double seconds) {
    const Clock::time_point deadline = after(seconds);
    for (;;) {
        press_keys(display, window, "Escape");
        const double left = std::chrono::duration<double>(deadline - Clock::now()).count();
        const int status = run.wait(std::max(0.0, std::min(10.0, left)));
        if (status != -1 || Clock::now() >= deadline) return status;
    }
}

// The screen once the dialog has drawn itself (a window is mapped before its
// first frame is presented); the last try when it never does.
Screenshot screenshot_of_dialog(const VirtualDisplay& display, const Geometry& dialog,
                                const std::string& file) {
    auto deadline = Clock::now() + std::chrono::seconds(10);
    Screenshot shot = take_screenshot(display, file);
    while (Clock::now() < deadline &&
           (shot.width != VirtualDisplay::kWidth || shot.colours_in(dialog) < 8)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        shot = take_screenshot(display, file);
    }
    return shot;
}

void expect_dialog_on_screen(const Screenshot& shot, const Geometry& dialog) {
    ASSERT_EQ(shot.width, VirtualDisplay::kWidth);
    ASSERT_EQ(shot.height, VirtualDisplay::kHeight);
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

}  // namespace test_support
