#include "system/fatal.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <unistd.h>

#include "platform/log.h"
#include "platform/message_box.h"

namespace fatal {
namespace {

Handler& handler() {
    static Handler h;
    return h;
}

std::function<void()>& window_restore_hook() {
    static std::function<void()> h;
    return h;
}

std::vector<std::function<void()>>& exit_hooks() {
    static std::vector<std::function<void()>> hooks;
    return hooks;
}

void run_exit_hooks() {
    // A box's process shares the run's open files: a hook run there would
    // finish a recording a second time, over the first.
    if (platform::is_box_process()) return;
    auto& hooks = exit_hooks();
    while (!hooks.empty()) {
        auto hook = std::move(hooks.back());
        hooks.pop_back();
        if (hook) hook();
    }
}

}  // namespace

std::string site_path(const char* file) {
    std::string path = file ? file : "";
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

void set_handler(Handler h) { handler() = std::move(h); }
void reset_handler() { handler() = nullptr; }

void set_window_restore_hook(std::function<void()> hook) { window_restore_hook() = std::move(hook); }

void add_exit_hook(std::function<void()> hook) { exit_hooks().push_back(std::move(hook)); }

void fail(const char* file, int line, const std::string& message) {
    Report report;
    report.caption = "Error in file " + site_path(file) + ":" + std::to_string(line);
    report.text = report.caption + "\n\n" + message;
    report.message = message;

    if (handler()) {
        handler()(report);
    } else {
        if (window_restore_hook()) window_restore_hook()();
        // Nothing more is written once the run has failed: recordings are
        // finished now, so that they play whether or not anybody answers the
        // box, and a request to end the program (SIGTERM, Ctrl+C), which
        // the window's event queue would only hold while the box waits, ends
        // it at once.
        run_exit_hooks();
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGINT, SIG_DFL);
        platform::show_message_box(report.caption, report.text, platform::MessageBoxKind::Plain);
        std::string line_text = platform::format_timestamp(platform::local_time_now()) + " " + message;
        std::printf("ERROR: %s\n", line_text.c_str());
        std::fflush(stdout);
    }
    run_exit_hooks();
    std::exit(1);
}

void end_at_once(const std::string& message) {
    // In a box's process (its display went away) there is nothing to report
    // or finish: the run's process does both, and output from here would
    // repeat what the run's buffers held when the box was forked.
    if (platform::is_box_process()) _exit(1);
    std::string line_text = platform::format_timestamp(platform::local_time_now()) + " " + message;
    std::printf("ERROR: %s\n", line_text.c_str());
    std::fflush(stdout);
    run_exit_hooks();
    std::fflush(stdout);
    _exit(1);
}

}  // namespace fatal
