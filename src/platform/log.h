// The console log: one line a call, the local date and time in front.
//
// LOG_INFO prints a timestamped line; its message is streamed pieces, like
// FATAL_ERROR's (system/fatal.h, which every layer above this one includes
// for both). Kept down here so that the platform's own stand-ins can log.
#pragma once

#include <sstream>
#include <string>

namespace platform {

// Local date and time, split into the fields the timestamp shows.
struct LocalTime {
    int year, month, day, hour, minute, second, millisecond;
};

LocalTime local_time_now();

// "YYYY-MM-DD HH:MM:SS:mmm" (the separator before the milliseconds is a colon).
std::string format_timestamp(const LocalTime& t);

// Prints timestamp + " " + message exactly as composed: the message is text,
// never a format, so a "%" in a file name prints as it stands.
void log_info(const std::string& message);

}  // namespace platform

#define LOG_INFO(msg)                                      \
    do {                                                   \
        std::ostringstream log_stream_;                    \
        log_stream_ << msg;                                \
        ::platform::log_info(log_stream_.str());           \
    } while (0)
