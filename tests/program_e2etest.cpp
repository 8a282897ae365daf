// The real program on a virtual display of its own: the setup dialog is found
// by its title, photographed and answered with key presses, as a person would.
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
#include <string>
#include <thread>
#include <vector>

#include "support/test_support.h"

namespace {

using Clock = std::chrono::steady_clock;

const char* const kTitle = "Wembrel - tidewell";
constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 720;

struct CommandResult {
    int status;
    std::string output;
};

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

// An Xvfb server on a free display number, with a white root window so that
// anything the program draws stands out. Stopped when the object goes.
class VirtualDisplay {
public:
    VirtualDisplay() {
        int fds[2];
        if (pipe(fds) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x720x24",
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
    ~VirtualDisplay() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool ok() const { return !name_.empty(); }

    // Runs an X client (xdotool, import) against this display, stopped
    // should it wait for longer than any step may take.
    CommandResult x(const std::string& command) const {
        return run_command("DISPLAY=" + name_ + " timeout -k 2 20 " + command + " 2>/dev/null");
    }

    const std::string& name() const { return name_; }

private:
    pid_t pid_ = -1;
    std::string name_;
};

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

// The program, under `timeout -k` so that nothing can hang, with its console
// output in a file.
class ProgramRun {
public:
    // Without a display when `display` is null.
    ProgramRun(const VirtualDisplay* display, const std::string& working_dir,
               const std::string& output_file)
        : output_file_(output_file) {
        std::string program = test_support::binary_path("zembla");
        pid_ = fork();
        if (pid_ == 0) {
            if (chdir(working_dir.c_str()) != 0) _exit(126);
            int out = open(output_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, 1);
            dup2(out, 2);
            if (display)
                setenv("DISPLAY", display->name().c_str(), 1);
            else
                unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            execlp("timeout", "timeout", "-k", "5", "60", program.c_str(),
                   static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~ProgramRun() {
        if (pid_ > 0 && !finished_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool running() {
        if (finished_) return false;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) finish(status);
        return !finished_;
    }

    // Waits up to `seconds` for the end; the exit status, or -1 while running.
    int wait(double seconds) {
        auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
        while (running() && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return finished_ ? status_ : -1;
    }

    std::string output() const { return read_file(output_file_); }

private:
    void finish(int status) {
        finished_ = true;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    std::string output_file_;
    pid_t pid_ = -1;
    bool finished_ = false;
    int status_ = -1;
};

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

// Waits for a window with the title whose size satisfies `wanted`.
template <typename Wanted>
std::string wait_for_window(const VirtualDisplay& display, Wanted wanted, double seconds) {
    auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < deadline) {
        for (const std::string& id : windows_named(display, kTitle))
            if (wanted(geometry_of(display, id))) return id;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return "";
}

bool is_dialog(const Geometry& g) { return g.width == 270 && g.height == 150; }

// The whole screen as RGB bytes, read from a screenshot file.
struct Screenshot {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
    // How many distinct colours the rectangle holds (capped at `cap`).
    int colours_in(const Geometry& g, int cap = 16) const {
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
    double share_of_white() const {
        size_t white = 0;
        for (size_t i = 0; i + 2 < rgb.size(); i += 3)
            if (rgb[i] == 255 && rgb[i + 1] == 255 && rgb[i + 2] == 255) ++white;
        return rgb.empty() ? 1.0 : static_cast<double>(white) / (rgb.size() / 3);
    }
};

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

// Where screenshots go: $ZEMBLA_SCREENSHOT_DIR when set (to look at them),
// else the test's own temporary folder.
std::string screenshot_path(const test_support::TempDir& dir, const std::string& name) {
    const char* keep = std::getenv("ZEMBLA_SCREENSHOT_DIR");
    return (keep && *keep ? std::string(keep) : dir.path()) + "/" + name;
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
        ProgramRun program(&display, work.path(), dir.file("output.txt"));

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
    ProgramRun program(&display, test_support::binary_path(""), dir.file("output.txt"));

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
    ProgramRun program(nullptr, dir.path(), dir.file("output.txt"));
    EXPECT_EQ(program.wait(20), 0) << program.output();
    EXPECT_EQ(program.output().find("ERROR:"), std::string::npos) << program.output();
}

}  // namespace
