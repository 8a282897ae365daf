// The progress bar's geometry and brightness and the ASCII style's bar,
// without drawing.
#include <gtest/gtest.h>

#include <cmath>

#include "util/ascii/ascii_screen.h"
#include "util/data/loadingscreen_styles.h"

namespace {

TEST(ProgressBarCorners, FrameBordersAndFillInUnitSquareCoordinates) {
    const float aspect = 16.0f / 9.0f;
    const float ty = 0.005f * aspect;
    std::array<float, 40> c = LoadingScreen::progress_bar_corners(100, 200, aspect);
    const float expected[40] = {
        0.1f, 0.1f, 0.9f, 0.1f, 0.9f, 0.1f - ty, 0.1f, 0.1f - ty,        // top border
        0.1f, 0.05f, 0.9f, 0.05f, 0.9f, 0.05f + ty, 0.1f, 0.05f + ty,    // bottom border
        0.1f, 0.1f, 0.095f, 0.1f, 0.095f, 0.05f, 0.1f, 0.05f,            // left border
        0.9f, 0.1f, 0.905f, 0.1f, 0.905f, 0.05f, 0.9f, 0.05f,            // right border
        0.1f, 0.1f, 0.5f, 0.1f, 0.5f, 0.05f, 0.1f, 0.05f,                // fill
    };
    for (int i = 0; i < 40; ++i) EXPECT_NEAR(c[i], expected[i], 1e-6f) << i;
}

TEST(ProgressBarCorners, FillEndFollowsTheProgressAndStaysFiniteWithoutATotal) {
    struct Case {
        int done, total;
        float fill_end;
    };
    for (const Case& k : {Case{0, 999, 0.1f}, Case{999, 999, 0.9f}, Case{150, 200, 0.7f},
                          Case{0, 0, 0.1f}, Case{3, 0, 0.1f}, Case{0, -1, 0.1f}}) {
        SCOPED_TRACE(std::to_string(k.done) + " of " + std::to_string(k.total));
        std::array<float, 40> c = LoadingScreen::progress_bar_corners(k.done, k.total, 4.0f / 3.0f);
        for (float v : c) EXPECT_TRUE(std::isfinite(v));
        EXPECT_FLOAT_EQ(c[34], k.fill_end);  // the fill's second and third corner
        EXPECT_FLOAT_EQ(c[36], k.fill_end);
    }
}

TEST(ProgressBarBrightness, FullUntilMoreThanHalfTheTotalIsDone) {
    struct Case {
        int done, total;
        float alpha, brightness;
    };
    // Half of the total in whole numbers: 1 of 3 is still "half".
    for (const Case& k : {Case{100, 200, 0.5f, 1.0f}, Case{101, 200, 0.5f, 0.5f}, Case{1, 3, 0.2f, 1.0f},
                          Case{2, 3, 0.2f, 0.2f}, Case{0, 0, 0.0f, 1.0f}, Case{998, 999, 0.0f, 0.0f}}) {
        SCOPED_TRACE(std::to_string(k.done) + " of " + std::to_string(k.total));
        EXPECT_EQ(LoadingScreen::progress_bar_brightness(k.alpha, k.done, k.total), k.brightness);
    }
}

TEST(AsciiBar, OneToFourCellsOfShadesLightestOnTop) {
    struct Case {
        int done, total, cells;
    };
    for (const Case& k : {Case{0, 200, 1}, Case{150, 200, 3}, Case{199, 200, 3}, Case{200, 200, 4},
                          Case{0, 0, 1}, Case{5, 0, 1}, Case{998, 999, 3}, Case{2000000000, 2000000000, 4}}) {
        SCOPED_TRACE(std::to_string(k.done) + " of " + std::to_string(k.total));
        EXPECT_EQ(LoadingScreen::ascii_bar_length(k.done, k.total), k.cells);
    }
    AsciiScreen screen;
    LoadingScreen::put_ascii_bar(screen, 150, 200);
    for (int col = 0; col < 4; ++col) {
        const bool lit = col < 3;
        EXPECT_EQ(screen.char_at(44, col), lit ? 0xB0 : 0);
        EXPECT_EQ(screen.char_at(45, col), lit ? 0xB1 : 0);
        EXPECT_EQ(screen.char_at(46, col), lit ? 0xB2 : 0);
        EXPECT_EQ(screen.fg_at(46, col), lit ? 15 : 0);
    }
    EXPECT_EQ(screen.char_at(43, 0), 0);
    EXPECT_EQ(screen.char_at(47, 0), 0);
}

}  // namespace
