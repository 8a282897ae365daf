// What every test executable shares: fatal errors become exceptions that the
// test can inspect, and message boxes are recorded and answered from a script
// instead of being shown.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "system/fatal.h"

namespace test_support {

// Thrown by the test fatal handler in place of ending the process.
struct FatalError : std::runtime_error {
    explicit FatalError(const fatal::Report& r) : std::runtime_error(r.message), report(r) {}
    fatal::Report report;
};

struct RecordedBox {
    std::string caption;
    std::string text;
    platform::MessageBoxKind kind;
};

// Boxes shown since the last clear, and the answers the next boxes give
// (Ok once the script is empty).
std::vector<RecordedBox>& recorded_boxes();
std::deque<platform::MessageBoxAnswer>& scripted_answers();
void clear_boxes();

// The message-box handler every test runs with: records the box and gives
// the next scripted answer.
platform::MessageBoxAnswer record_box(const std::string& caption, const std::string& text,
                                      platform::MessageBoxKind kind);

// Path of a file in the source tree or the build tree.
std::string source_path(const std::string& relative);
std::string binary_path(const std::string& relative);

// The folder tests keep their screenshots in, to look at:
// $ZEMBLA_SCREENSHOT_DIR, made when it does not exist yet; empty when that is
// not set.
std::string screenshot_folder();

// Writes 8-bit RGB (`channels` 3) or RGBA (4) pixels as a PNG file, the rows
// from the bottom up when `bottom_row_first` (as OpenGL reads them back).
bool write_png(const std::string& path, int width, int height, int channels, const unsigned char* pixels,
               bool bottom_row_first);

// A fresh empty folder under the system's temporary folder, removed when the
// object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Runs in another folder for the object's lifetime (the data layer reads
// paths relative to the working folder).
class ScopedChdir {
public:
    explicit ScopedChdir(const std::string& dir);
    ~ScopedChdir();

private:
    std::string previous_;
};

}  // namespace test_support

// Expects the statement to end through the fatal-error convention with a
// message equal to `expected`.
#define EXPECT_FATAL(statement, expected)                                         \
    do {                                                                          \
        try {                                                                     \
            statement;                                                            \
            ADD_FAILURE() << "expected a fatal error: " << (expected);            \
        } catch (const ::test_support::FatalError& fatal_error_) {                \
            EXPECT_EQ(std::string(fatal_error_.report.message), std::string(expected)); \
        }                                                                         \
    } while (0)

// Same, for a message that contains `fragment`.
#define EXPECT_FATAL_CONTAINS(statement, fragment)                                \
    do {                                                                          \
        try {                                                                     \
            statement;                                                            \
            ADD_FAILURE() << "expected a fatal error containing: " << (fragment); \
        } catch (const ::test_support::FatalError& fatal_error_) {                \
            EXPECT_NE(std::string(fatal_error_.report.message).find(fragment),    \
                      std::string::npos)                                          \
                << fatal_error_.report.message;                                   \
        }                                                                         \
    } while (0)
