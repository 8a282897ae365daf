// The console log line: its timestamp and its text as composed.
#include "platform/log.h"

#include <gtest/gtest.h>

namespace {

TEST(Timestamp, PadsEveryField) {
    struct Case {
        platform::LocalTime t;
        const char* expected;
    } cases[] = {
        {{2014, 3, 7, 9, 5, 2, 47}, "2014-03-07 09:05:02:047"},
        {{2026, 12, 31, 23, 59, 59, 999}, "2026-12-31 23:59:59:999"},
        {{999, 1, 1, 0, 0, 0, 7}, "0999-01-01 00:00:00:007"},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::format_timestamp(c.t), c.expected);
}

TEST(LogInfo, PrintsTheTextLiterallyAfterTheTimestamp) {
    testing::internal::CaptureStdout();
    LOG_INFO("Loaded data/100%%_done%s.png\n");
    std::string out = testing::internal::GetCapturedStdout();
    // "YYYY-MM-DD HH:MM:SS:mmm " is 24 characters.
    ASSERT_GE(out.size(), 24u);
    EXPECT_EQ(out.substr(24), "Loaded data/100%%_done%s.png\n");
    EXPECT_EQ(out[4], '-');
    EXPECT_EQ(out[19], ':');
    EXPECT_EQ(out[23], ' ');
}

}  // namespace
