#include "system/fatal.h"

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
        platform::show_message_box(report.caption, report.text, platform::MessageBoxKind::Plain);
        std::string line_text = platform::format_timestamp(platform::local_time_now()) + " " + message;
        std::printf("ERROR: %s\n", line_text.c_str());
        std::fflush(stdout);
    }
    run_exit_hooks();
    std::exit(1);
}

void end_at_once(const std::string& message) {
    std::string line_text = platform::format_timestamp(platform::local_time_now()) + " " + message;
    std::printf("ERROR: %s\n", line_text.c_str());
    std::fflush(stdout);
    run_exit_hooks();
    std::fflush(stdout);
    _exit(1);
}

}  // namespace fatal
