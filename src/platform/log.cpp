#include "platform/log.h"

#include <cstdio>
#include <ctime>

namespace platform {
namespace {

std::string zero_padded(int value, int width) {
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
    return zero_padded(t.year, 4) + "-" + zero_padded(t.month, 2) + "-" + zero_padded(t.day, 2) + " " + zero_padded(t.hour, 2) +
           ":" + zero_padded(t.minute, 2) + ":" + zero_padded(t.second, 2) + ":" + zero_padded(t.millisecond, 3);
}

void log_info(const std::string& message) {
    std::string line = format_timestamp(local_time_now()) + " " + message;
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

}  // namespace platform
