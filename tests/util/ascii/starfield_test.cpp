// The starfield: speeds and colours, moving, and coming back at an edge.
#include "util/ascii/starfield.h"

#include <gtest/gtest.h>

#include <cmath>

#include "ascii_test_support.h"

namespace {

TEST(Starfield, ColourByThirdOfTheSpeedRange) {
    struct Case {
        float speed;
        int colour;
    };
    const Case cases[] = {{0.5f, 8}, {1.99f, 8}, {2.0f, 7}, {3.49f, 7}, {3.5f, 15}, {5.0f, 15}};
    for (const Case& c : cases) EXPECT_EQ(AsciiStarfield::colour_of(c.speed), c.colour) << c.speed;
}

TEST(Starfield, StarsStartAtTheirEdgeOnRandomRowsAtSpeedsFromHalfToFive) {
    ascii_test::ManualTicks ticks(1234);
    AsciiScreen screen;
    AsciiStarfield right(&screen, StarEdge::Right);
    AsciiStarfield left(&screen, StarEdge::Left);
    int distinct_rows = 0;
    for (int i = 0; i < AsciiStarfield::kStars; ++i) {
        EXPECT_EQ(right.x[i], 80.0f);
        EXPECT_EQ(left.x[i], 0.0f);
        EXPECT_TRUE(right.row[i] >= 0 && right.row[i] < 50);
        EXPECT_TRUE(right.speed[i] >= 0.5f && right.speed[i] <= 5.0f);
        distinct_rows += i > 0 && right.row[i] != right.row[0];
    }
    EXPECT_GT(distinct_rows, 0);
    // Stars at x 80 sit just off the screen until they move.
    right.draw(0.0f);
    for (int r = 0; r < 50; ++r)
        for (int c = 0; c < 80; ++c) EXPECT_EQ(screen.char_at(r, c), 0);
}

TEST(Starfield, MovingStarsKeepTheBackgroundAndRespawnOppositeTheirMotion) {
    ascii_test::ManualTicks ticks(99);
    AsciiScreen screen;
    screen.fill(0, 0, 1);
    AsciiStarfield stars(&screen, StarEdge::Left);
    stars.x[0] = 79.9f;
    stars.speed[0] = 5.0f;
    stars.row[0] = 7;
    stars.x[1] = 10.0f;
    stars.speed[1] = 2.0f;
    stars.row[1] = 8;
    stars.draw(0.05f);  // 80.15: off the right edge, back at the left
    EXPECT_EQ(stars.x[0], 0.0f);
    EXPECT_FLOAT_EQ(stars.x[1], 10.1f);
    EXPECT_EQ(screen.char_at(8, 10), '.');
    EXPECT_EQ(screen.fg_at(8, 10), 7);
    EXPECT_EQ(screen.bg_at(8, 10), 1);
    EXPECT_EQ(screen.char_at(stars.row[0], 0), '.');

    stars.x[2] = 0.1f;
    stars.speed[2] = 1.0f;
    stars.draw(-0.5f);  // off the left edge while moving left: back at the right
    EXPECT_EQ(stars.x[2], 80.0f);

    stars.draw(std::nanf(""));  // no star lands outside the screen
    stars.draw(1e30f);
}

}  // namespace
