#include "support/e2e_display.h"

#include <fcntl.h>
#include <png.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

namespace test_support {

using Clock = std::chrono::steady_clock;

CommandResult run_command(const std::string& command) {
    CommandResult result{-1, ""};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
    pid_ = fork();
    if (pid_ == 0) {
        close(fds[0]);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        std::string fd = std::to_string(fds[1]);
        std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
               "-nolisten", "tcp", "-wr", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (!number.empty()) name_ = ":" + number;
}

VirtualDisplay::~VirtualDisplay() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

CommandResult VirtualDisplay::x(const std::string& command) const {
    return run_command("DISPLAY=" + name_ + " timeout -k 2 20 " + command + " 2>/dev/null");
}

// --- the program -----------------------------------------------------------------------

ProgramRun::ProgramRun(const Options& options) : output_file_(options.output_file) {
    // Everything the child needs is prepared before the fork.
    std::string limit = std::to_string(options.timeout_seconds);
    std::vector<std::string> words = {"timeout", "-k", "5", limit, options.program};
    words.insert(words.end(), options.arguments.begin(), options.arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(&word[0]);
    argv.push_back(nullptr);

    pid_ = fork();
    if (pid_ == 0) {
        if (chdir(options.working_dir.c_str()) != 0) _exit(126);
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
        execvp("timeout", argv.data());
        _exit(127);
    }
}

ProgramRun::~ProgramRun() {
    if (pid_ > 0 && !finished_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

bool ProgramRun::running() {
    if (finished_) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) finish(status);
    return !finished_;
}

int ProgramRun::wait(double seconds) {
    auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    while (running() && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return finished_ ? status_ : -1;
}

void ProgramRun::finish(int status) {
    finished_ = true;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// --- windows ---------------------------------------------------------------------------

std::vector<std::string> windows_named(const VirtualDisplay& display, const std::string& title) {
    CommandResult found = display.x("xdotool search --name '^" + title + "$'");
    std::vector<std::string> ids;
    std::istringstream lines(found.output);
    std::string id;
    while (lines >> id) ids.push_back(id);
    return ids;
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

std::string screenshot_path(const std::string& fallback_dir, const std::string& name) {
    const char* keep = std::getenv("ZEMBLA_SCREENSHOT_DIR");
    return (keep && *keep ? std::string(keep) : fallback_dir) + "/" + name;
}

bool is_dialog(const Geometry& g) { return g.width == 270 && g.height == 150; }

bool is_full_screen(const Geometry& g) {
    return g.x == 0 && g.y == 0 && g.width == VirtualDisplay::kWidth && g.height == VirtualDisplay::kHeight;
}

void press_keys(const VirtualDisplay& display, const std::string& window, const std::string& keys) {
    display.x("xdotool windowfocus --sync " + window + " key " + keys);
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
