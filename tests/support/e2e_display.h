// What the e2e tests need to run a built program on a virtual display of its
// own and to look at it as a person would: the display, the program under
// `timeout -k`, its windows found by title, and screenshots. Every process a
// test starts goes through `ProcessGroup`, which ends it with the test.
#pragma once

#include <sys/types.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace test_support {

// A process a test starts, in a process group of its own, owned by the test:
// when the object goes (the test passed, failed, threw or ran out of time)
// the whole group, the process and anything it started, is ended (SIGTERM,
// then SIGKILL after a short grace) and reaped. The test process adopts the
// group's orphans (it is a child subreaper), so those are reaped too; and
// should the test process itself die, the process gets SIGTERM.
class ProcessGroup {
public:
    // Starts `argv` (argv[0] looked up in PATH). `in_child` runs in the child
    // before the exec (redirections, working folder, environment); false
    // from it ends the child with status 127.
    explicit ProcessGroup(const std::vector<std::string>& argv,
                          const std::function<bool()>& in_child = nullptr);
    ~ProcessGroup();
    ProcessGroup(const ProcessGroup&) = delete;
    ProcessGroup& operator=(const ProcessGroup&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }

    bool running();

    // Waits up to `seconds` for the process to end; its exit status (128 +
    // the signal when a signal ended it), or -1 while it runs.
    int wait(double seconds);

    // Ends the group now (what of it still runs) and reaps it.
    void end();

    // Stops the whole group where it is (SIGSTOP), and lets it go on
    // (SIGCONT). A stopped group that is ended is let go first.
    void pause();
    void resume();

private:
    void finish(int status);

    pid_t pid_ = -1;
    bool finished_ = false;
    bool ended_ = false;
    int status_ = -1;
};

struct CommandResult {
    int status;
    std::string output;
};

// Runs a shell command; its exit status and standard output. A command still
// running after `seconds` is ended with everything it started (status -1).
CommandResult run_command(const std::string& command, double seconds = 300);

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

    // Ends the server now, as a display that goes away does; its clients
    // lose their connections.
    void stop() { server_.reset(); }

private:
    std::unique_ptr<ProcessGroup> server_;
    std::string name_;
};

// A program started in `working_dir` under `timeout -k`, with its console
// output in a file; ended with all it started when the object goes.
class ProgramRun {
public:
    struct Options {
        std::string program;                // path of the executable
        std::vector<std::string> arguments;
        std::string working_dir;
        std::string output_file;
        const VirtualDisplay* display = nullptr;  // none: DISPLAY unset
        std::vector<std::pair<std::string, std::string>> environment;  // set in addition
        int timeout_seconds = 300;  // a last guard: the test ends it sooner

        // `program` run in `working_dir` (on `display`, if any), its console
        // output kept there as output.txt.
        static Options in_folder(const std::string& program, const std::string& working_dir,
                                 const VirtualDisplay* display) {
            Options options;
            options.program = program;
            options.working_dir = working_dir;
            options.output_file = working_dir + "/output.txt";
            options.display = display;
            return options;
        }
    };

    explicit ProgramRun(const Options& options);
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool running() { return process_.running(); }

    // Waits up to `seconds` for the end; the exit status, or -1 while running.
    int wait(double seconds) { return process_.wait(seconds); }

    pid_t pid() const { return process_.pid(); }

    // Stops the program where it is, and lets it go on.
    void pause() { process_.pause(); }
    void resume() { process_.resume(); }

    std::string output() const { return read_file(output_file_); }

private:
    std::string output_file_;
    ProcessGroup process_;
};

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

// The ids of the windows with exactly this title.
std::vector<std::string> windows_named(const VirtualDisplay& display, const std::string& title);

// The top-level windows on screen with their titles. (xdotool's search by
// name passes over a title it cannot convert, such as that of SDL's message
// box; its window name reads it all the same.)
struct Window {
    std::string id, title;
};
std::vector<Window> visible_windows(const VirtualDisplay& display);

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

// Presses Escape in `window` until the program ends, for at most `seconds`
// (a key pressed while a loaded machine keeps the window from taking the
// focus can go astray; once the program is ending, another press changes
// nothing): its exit status, or -1 if it still runs.
int escape_until_ended(const VirtualDisplay& display, ProgramRun& run, const std::string& window, double seconds);

// Screenshot of the root window, kept in `file`; empty when it failed.
Screenshot take_screenshot(const VirtualDisplay& display, const std::string& file);

// Takes screenshots into `file` until one satisfies `wanted`, for at most
// `seconds`; the last one taken. With `stepped`, the program runs only in
// short slices, stopped while each screenshot is taken: a picture it shows
// for less time than a screenshot takes on a loaded machine (its loading
// screen) is then still on screen at one of them. It runs freely again
// after.
Screenshot wait_for_screen(const VirtualDisplay& display, const std::function<bool(const Screenshot&)>& wanted,
                           double seconds, const std::string& file, ProgramRun* stepped = nullptr);

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
