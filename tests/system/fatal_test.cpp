#include "support/test_support.h"

#include "system/fatal.h"

#include <unistd.h>

#include <cstdio>
#include <type_traits>

namespace {

TEST(FatalError, CaptionTextAndMessage) {
    int line = 0;
    try {
        line = __LINE__ + 1;
        FATAL_ERROR("Failed to open " << "x.png" << " size " << 12 << " " << 0.5f);
    } catch (const test_support::FatalError& e) {
        EXPECT_EQ(e.report.message, "Failed to open x.png size 12 0.5");
        EXPECT_EQ(e.report.caption, "Error in file tests\\system\\fatal_test.cpp:" + std::to_string(line));
        EXPECT_EQ(e.report.text, e.report.caption + "\n\n" + e.report.message);
        return;
    }
    FAIL() << "no fatal error";
}

TEST(FatalError, AssertQuotesTheConditionVerbatim) {
    int* pointer = nullptr;
    EXPECT_FATAL(FATAL_ASSERT(pointer != nullptr), "Failed assert pointer != nullptr");
    FATAL_ASSERT(1 + 1 == 2);  // true: nothing happens
    EXPECT_FATAL(FATAL_ASSERT(std::is_same<int, long>::value),
                 "Failed assert std::is_same<int, long>::value");
    char buffer[] = "3x";
    int samples = 0;
    EXPECT_FATAL(FATAL_ASSERT(2 == sscanf( buffer, "%ix", &samples )),
                 "Failed assert 2 == sscanf( buffer, \"%ix\", &samples )");
    int chans = 1;
    EXPECT_FATAL(FATAL_ASSERT_EQ(chans, 2), "Failed assert chans == 2\n chans is 1\n 2 is 2");
}

}  // namespace

namespace {

// The default ending, in a child process: the window is put back first, then
// the exit hooks run (a recording is finished before the box, which nobody
// may answer), then the box, then the timestamped console line, and the
// process exits with status 1.
void fail_with_default_ending() {
    dup2(2, 1);  // the death test sees standard error only
    fatal::reset_handler();
    fatal::set_window_restore_hook([] { std::fprintf(stderr, "[restore]\n"); });
    platform::set_message_box_handler(
        [](const std::string& caption, const std::string& text, platform::MessageBoxKind kind) {
            std::fprintf(stderr, "[box %s|%s|%d]\n", caption.c_str(), text.c_str(),
                         kind == platform::MessageBoxKind::Plain);
            return platform::MessageBoxAnswer::Ok;
        });
    fatal::add_exit_hook([] { std::fprintf(stderr, "[exit hook]\n"); });
    FATAL_ERROR("Unknown " << "scene set!");
}

TEST(FatalErrorDeathTest, DefaultEndingShowsTheBoxPrintsAndExitsWithOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(fail_with_default_ending(), ::testing::ExitedWithCode(1),
                "^\\[restore\\]\n"
                "\\[exit hook\\]\n"
                "\\[box Error in file tests\\\\system\\\\fatal_test\\.cpp:[0-9]+\\|"
                "Error in file tests\\\\system\\\\fatal_test\\.cpp:[0-9]+\n\nUnknown scene set!\\|1\\]\n"
                "ERROR: [0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}:[0-9]{3} Unknown scene set!\n$");
}

}  // namespace
