// The program's one way to fail and one way to log.
//
// FATAL_ERROR ends the run at the spot: it puts the desktop back into a usable
// state, shows a message box that says where and why, prints the timestamped
// message to the console and exits with status 1. FATAL_ASSERT is the same
// with "Failed assert <condition>". LOG_INFO prints one timestamped line
// (platform/log.h, included here for every caller).
//
// Messages are streamed pieces: FATAL_ERROR("Failed to open " << name).
#pragma once

#include <functional>
#include <sstream>
#include <string>

#include "platform/log.h"

namespace fatal {

// The site's path as the box shows it: relative, backslash separators.
std::string site_path(const char* file);

// What a fatal site reports. `caption` is "Error in file <path>:<line>",
// `text` the caption, a blank line and the message.
struct Report {
    std::string caption;
    std::string text;
    std::string message;
};

// The handler runs instead of the default ending (restore the window, finish
// recordings, show the box, print, exit 1). Tests install one that throws. A handler that
// returns is followed by exit(1) all the same.
using Handler = std::function<void(const Report&)>;
void set_handler(Handler handler);
void reset_handler();

// Called by the default ending before the box is shown; the window layer
// registers the code that gives the window an ordinary frame again.
void set_window_restore_hook(std::function<void()> hook);

// Called by the default ending before the box is shown (to finish a
// recording in progress, which then plays whether or not anybody answers
// the box), and by `end_at_once`. Hooks run in the reverse order of
// registration; each runs at most once, and never in a box's process.
void add_exit_hook(std::function<void()> hook);

[[noreturn]] void fail(const char* file, int line, const std::string& message);

// For a failure after which nothing may talk to the display any more (its
// connection is gone): prints the console line of a fatal error with the
// message, runs the exit hooks (which finish a recording and touch no
// display) and ends the process with status 1 at once: no box, no handler,
// no exit handlers or static destructors (a library's handler would wait on
// the dead connection).
[[noreturn]] void end_at_once(const std::string& message);

}  // namespace fatal

#define FATAL_ERROR(msg)                                   \
    do {                                                   \
        std::ostringstream fatal_stream_;                  \
        fatal_stream_ << msg;                              \
        ::fatal::fail(__FILE__, __LINE__, fatal_stream_.str()); \
    } while (0)

// Variadic, so that a condition with a comma outside parentheses
// (std::is_same<A, B>::value) is one condition.
#define FATAL_ASSERT(...)                                                \
    do {                                                                 \
        if (!(__VA_ARGS__)) FATAL_ERROR("Failed assert " #__VA_ARGS__);  \
    } while (0)

// Comparison form: "Failed assert a == b\n a is <a>\n b is <b>".
#define FATAL_ASSERT_EQ(a, b)                                              \
    do {                                                                   \
        if (!((a) == (b)))                                                 \
            FATAL_ERROR("Failed assert " #a " == " #b "\n " #a " is " << (a) \
                        << "\n " #b " is " << (b));                        \
    } while (0)
