// What the e2e tests need to run a built program on a virtual display of its
// own and to look at it as a person would: the display, the program under
// `timeout -k`, its windows found by title, and screenshots.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace test_support {

struct CommandResult {
    int status;
    std::string output;
};

// Runs a shell command; its exit status and standard output.
CommandResult run_command(const std::string& command);

std::string read_file(const std::string& path);

// An Xvfb server of 1280 x 720 (or the size given) on a free display
// number, with a white root window so that anything a program draws stands
// out. Stopped when the object goes.
class VirtualDisplay {
public:
    static constexpr int kWidth = 1280;
    static constexpr int kHeight = 720;

    VirtualDisplay(int width = kWidth, int height = kHeight);
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool ok() const { return !name_.empty(); }

    // Runs an X client (xdotool, import) against this display, stopped
    // should it wait for longer than any step may take.
    CommandResult x(const std::string& command) const;

    const std::string& name() const { return name_; }

private:
    pid_t pid_ = -1;
    std::string name_;
};

// A program started in `working_dir` under `timeout -k`, with its console
// output in a file; killed when the object goes while it still runs.
class ProgramRun {
public:
    struct Options {
        std::string program;                // path of the executable
        std::vector<std::string> arguments;
        std::string working_dir;
        std::string output_file;
        const VirtualDisplay* display = nullptr;  // none: DISPLAY unset
        std::vector<std::pair<std::string, std::string>> environment;  // set in addition
        int timeout_seconds = 60;
    };

    explicit ProgramRun(const Options& options);
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool running();

    // Waits up to `seconds` for the end; the exit status, or -1 while running.
    int wait(double seconds);

    std::string output() const { return read_file(output_file_); }

private:
    void finish(int status);

    std::string output_file_;
    pid_t pid_ = -1;
    bool finished_ = false;
    int status_ = -1;
};

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

// The ids of the windows with exactly this title.
std::vector<std::string> windows_named(const VirtualDisplay& display, const std::string& title);

Geometry geometry_of(const VirtualDisplay& display, const std::string& id);

// Waits for a window with the title whose geometry satisfies `wanted`; its
// id, or "" when none came in time.
std::string wait_for_window(const VirtualDisplay& display, const std::string& title,
                            const std::function<bool(const Geometry&)>& wanted, double seconds);

// The whole screen as RGB bytes, read from a screenshot file.
struct Screenshot {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
    // How many distinct colours the rectangle holds (capped at `cap`).
    int colours_in(const Geometry& g, int cap = 16) const;
    double share_of_white() const;
};

// The setup dialog's size, and a window that covers a whole display of the
// default size.
bool is_dialog(const Geometry& g);
bool is_full_screen(const Geometry& g);

// Focuses the window and presses `keys` (xdotool key names).
void press_keys(const VirtualDisplay& display, const std::string& window, const std::string& keys);

// Screenshot of the root window, kept in `file`; empty when it failed.
Screenshot take_screenshot(const VirtualDisplay& display, const std::string& file);

// Where screenshots go: $ZEMBLA_SCREENSHOT_DIR when set (to look at them),
// else `fallback_dir`, a test's own temporary folder.
std::string screenshot_path(const std::string& fallback_dir, const std::string& name);

// The screen once the dialog at `dialog` has drawn itself (a window is mapped
// before its first frame is presented); the last try when it never does.
Screenshot screenshot_of_dialog(const VirtualDisplay& display, const Geometry& dialog, const std::string& file);

// The setup dialog as it shows on the white root window of a display of the
// default size: a light face with labels, lists and buttons on it.
void expect_dialog_on_screen(const Screenshot& shot, const Geometry& dialog);

}  // namespace test_support
