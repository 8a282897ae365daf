#include "system/fatal.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

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

std::string pad(int value, int width) {
    std::string s = std::to_string(value);
    while (static_cast<int>(s.size()) < width) s.insert(s.begin(), '0');
    return s;
}

}  // namespace

LocalTime local_time_now() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    localtime_r(&ts.tv_sec, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
            tm.tm_min,         tm.tm_sec,     static_cast<int>(ts.tv_nsec / 1000000)};
}

std::string format_timestamp(const LocalTime& t) {
    return pad(t.year, 4) + "-" + pad(t.month, 2) + "-" + pad(t.day, 2) + " " + pad(t.hour, 2) +
           ":" + pad(t.minute, 2) + ":" + pad(t.second, 2) + ":" + pad(t.millisecond, 3);
}

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
        std::string line_text = format_timestamp(local_time_now()) + " " + message;
        std::printf("ERROR: %s\n", line_text.c_str());
        std::fflush(stdout);
    }
    run_exit_hooks();
    std::exit(1);
}

void log_info(const std::string& message) {
    std::string line = format_timestamp(local_time_now()) + " " + message;
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

}  // namespace fatal
