// The fire: heat bands, the step cap on a manual clock, damping and sparks.
#include "util/ascii/fire.h"

#include <gtest/gtest.h>

#include "ascii_test_support.h"

namespace {

class FireTest : public ::testing::Test {
protected:
    FireTest() { AsciiFire::reset_clock(); }
    ~FireTest() override { AsciiFire::reset_clock(); }

    // Sets the six sub-cells of screen cell (row, col) to `value` each.
    static void heat_cell(AsciiFire& fire, int row, int col, uint8_t value) {
        for (int y = 2 * row; y < 2 * row + 2; ++y)
            for (int x = 3 * col; x < 3 * col + 3; ++x) fire.set_heat(y, x, value);
    }
    static int hot_sub_cells(const AsciiFire& fire) {
        int hot = 0;
        for (int y = 0; y < AsciiFire::kHeight; ++y)
            for (int x = 0; x < AsciiFire::kWidth; ++x) hot += fire.heat(y, x) != 0;
        return hot;
    }

    ascii_test::ManualTicks ticks_{5000};
    AsciiScreen screen_;
};

TEST(FireBands, CellValueWrapsAndBandsRepeatEvery250) {
    struct Case {
        int six_sum;
        int value, band;
    };
    const Case cases[] = {
        {0, 0, 0}, {29, 9, 0}, {30, 10, 1}, {600, 200, 20}, {747, 249, 24},
        {750, 250, 0},   // the band wraps
        {1530, 254, 0},  // six sub-cells of 255: the value wraps to 254
        {768, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fire_cell_value(c.six_sum), c.value) << c.six_sum;
        EXPECT_EQ(fire_band(fire_cell_value(c.six_sum)), c.band) << c.six_sum;
    }
}

TEST_F(FireTest, ScreenMappingWritesHotCellsOnlyInTheirRampColour) {
    AsciiFire fire(&screen_);
    screen_.fill('x', 7, 3);
    fire.write_screen(AsciiFire::kHeatShaded);  // all cold: nothing
    EXPECT_TRUE(screen_.char_at(0, 0) == 'x' && screen_.char_at(49, 79) == 'x');

    heat_cell(fire, 10, 20, 200);  // v = 1200 / 3 = 400 -> 144 as a byte, band 14
    heat_cell(fire, 11, 20, 255);  // v = 254, band 0: untouched
    fire.set_heat(24, 90, 255);    // cell (12, 30): v = 85, band 8
    for (int y = 26; y < 28; ++y)  // cell (13, 30): v = 200
        for (int x = 90; x < 93; ++x) fire.set_heat(y, x, 100);
    fire.write_screen(AsciiFire::kHeatShaded);
    EXPECT_EQ(screen_.char_at(10, 20), 144 / 4 + 136);
    EXPECT_EQ(screen_.fg_at(10, 20), fire.colors()[14]);
    EXPECT_EQ(screen_.bg_at(10, 20), 0);
    EXPECT_TRUE(screen_.char_at(11, 20) == 'x' && screen_.bg_at(11, 20) == 3);
    EXPECT_EQ(screen_.char_at(12, 30), 85 / 4 + 136);
    EXPECT_EQ(screen_.char_at(13, 30), 186);
    EXPECT_EQ(screen_.fg_at(13, 30), 15);  // colors[20] of preset 0

    fire.write_screen('*');
    EXPECT_EQ(screen_.char_at(13, 30), '*');
}

TEST_F(FireTest, ColourPresets) {
    AsciiFire fire(&screen_);
    const std::array<uint8_t, 25> red = {0, 4, 12, 12, 12, 12, 12, 14, 14, 14, 14, 14, 14,
                                         14, 14, 14, 15, 15, 15, 15, 15, 15, 15, 15, 15};
    EXPECT_EQ(fire.colors(), red);
    fire.set_palette(1);
    EXPECT_EQ(fire.colors()[15], 15);
    EXPECT_EQ(fire.colors()[16], 8);
    EXPECT_EQ(fire.colors()[24], 15);
    fire.set_palette(2);
    EXPECT_EQ(fire.colors()[1], 3);
    fire.set_palette(7);  // unknown: kept
    EXPECT_EQ(fire.colors()[1], 3);
}

TEST_F(FireTest, AStallRunsAtMostFiveStepsAndTheNextCallStepsAtOnce) {
    AsciiFire fire(&screen_);
    fire.set_decay(0.5, -1000.0, 1.0);  // every step lowers decay by 1: a step counter
    fire.update(AsciiFire::kHeatShaded);  // the first call: one step
    EXPECT_DOUBLE_EQ(fire.decay(), -0.5);
    ticks_.now += 15;
    fire.update(AsciiFire::kHeatShaded);  // the next step is due at 16 ms
    EXPECT_DOUBLE_EQ(fire.decay(), -0.5);
    ticks_.now += 1;
    fire.update(AsciiFire::kHeatShaded);
    EXPECT_DOUBLE_EQ(fire.decay(), -1.5);

    ticks_.now += 200;  // 12 steps due: 5 run, the clock is set to now
    fire.set_decay(0.5, -1000.0, 1.0);
    fire.update(AsciiFire::kHeatShaded);
    EXPECT_DOUBLE_EQ(fire.decay(), -4.5);
    fire.update(AsciiFire::kHeatShaded);  // same time: the step due now runs
    EXPECT_DOUBLE_EQ(fire.decay(), -5.5);
}

TEST_F(FireTest, DampingMovesTowardItsTargetAndStops) {
    AsciiFire fire(&screen_);
    for (int i = 0; i < 5; ++i) fire.step();
    EXPECT_NEAR(fire.decay(), 0.49, 1e-12);
    fire.set_decay(0.5, 0.25, -0.002);  // a negative step with decay above the target
    fire.step();
    EXPECT_EQ(fire.decay(), 0.5);
    fire.set_decay(0.251, 0.25, 0.002);  // overshoots once, then stays
    fire.step();
    fire.step();
    EXPECT_NEAR(fire.decay(), 0.249, 1e-12);
}

TEST_F(FireTest, SparksLightTheBottomRowAndHeatRises) {
    AsciiFire fire(&screen_);
    fire.step();
    int sparks = 0;
    for (int x = 0; x < AsciiFire::kWidth; ++x) {
        const uint8_t h = fire.heat(AsciiFire::kHeight - 1, x);
        EXPECT_TRUE(h == 0 || h == 255) << x;
        sparks += h == 255;
    }
    EXPECT_GT(sparks, 10);
    EXPECT_LE(sparks, AsciiFire::kSpots);
    EXPECT_EQ(hot_sub_cells(fire), sparks);  // nothing above yet
    for (int i = 0; i < 20; ++i) {
        ticks_.now += 16;  // new sparks each step
        fire.step();
    }
    int hot_rows = 0;
    for (int y = 0; y < AsciiFire::kHeight - 1; ++y)
        for (int x = 0; x < AsciiFire::kWidth; ++x)
            if (fire.heat(y, x) > 0) {
                ++hot_rows;
                break;
            }
    EXPECT_GE(hot_rows, 5);
}

// One step against worked numbers, with a damping of 1 so that the divisors
// are 9 inside, 6 on the edges and 4 in the bottom corners: a sub-cell
// becomes the sum of its neighbours (not itself) over their count plus the
// damping, truncated, and moves up a row. The first step reads one grid and
// writes the other.
TEST_F(FireTest, AStepSumsTheNeighboursOverTheirCountPlusTheDamping) {
    constexpr int kRight = AsciiFire::kWidth - 1, kBottom = AsciiFire::kHeight - 1;
    AsciiFire fire(&screen_);
    fire.set_decay(1.0, 1.0, 0.0);  // a step of 0 keeps it
    fire.set_heat(10, 100, 90);
    fire.set_heat(20, 0, 100);  // the left column
    fire.set_heat(20, 1, 50);
    fire.set_heat(30, kRight, 60);           // the right column
    fire.set_heat(kBottom, 50, 120);         // the bottom row
    fire.set_heat(kBottom, kRight - 1, 80);  // beside the bottom-right corner
    fire.step();
    const struct {
        int row, col, heat;
        const char* from;
    } cases[] = {
        {10, 100, 10, "(11, 100): 90 of 8 neighbours, / 9"},
        {9, 100, 0, "(10, 100), which is not its own neighbour"},
        {9, 101, 10, "(10, 101): 90 / 9"},
        {20, 0, 25, "(21, 0) on the left edge: 100 + 50 of 5 neighbours, / 6"},
        {19, 0, 8, "(20, 0): 50 of its 5, / 6"},
        {19, 1, 11, "(20, 1): 100 / 9"},
        {30, kRight, 10, "(31, right) on the right edge: 60 / 6"},
        {29, kRight, 0, "(30, right)"},
        {kBottom - 1, 51, 20, "(bottom, 51) on the bottom row: 120 of 5 neighbours, / 6"},
        {kBottom - 1, 50, 0, "(bottom, 50)"},
        {kBottom - 2, 50, 13, "(bottom - 1, 50): 120 / 9"},
        {kBottom - 1, kRight, 20, "(bottom, right), the corner: 80 of 3 neighbours, / 4"},
        {kBottom - 1, kRight - 2, 13, "(bottom, right - 2): 80 / 6"},
    };
    for (const auto& c : cases) EXPECT_EQ(fire.heat(c.row, c.col), c.heat) << "from " << c.from;
}

// From the second step on, a step works in one grid: a sub-cell's sum takes
// the new value of the sub-cell up and to the left of it, written a moment
// before in the same step. One hot sub-cell spreads lopsided.
TEST_F(FireTest, LaterStepsReadWhatTheyWroteUpAndToTheLeft) {
    AsciiFire fire(&screen_);
    fire.set_decay(1.0, 1.0, 0.0);
    fire.step();  // from here on one grid
    for (int y = 0; y < AsciiFire::kHeight; ++y)
        for (int x = 0; x < AsciiFire::kWidth; ++x) fire.set_heat(y, x, 0);
    fire.set_heat(6, 100, 180);
    fire.step();
    // Columns 98 to 103; with two grids rows 4 to 6 would all read
    // 0, 20, 20, 20, 0, 0.
    const int expected[4][6] = {
        {0, 0, 0, 0, 0, 0},     // row 3
        {0, 20, 22, 22, 2, 0},  // row 4: 180 / 9, then (20 + 180) / 9, (22 + 180) / 9, 22 / 9
        {0, 20, 2, 20, 2, 0},   // row 5: the old 180 is no neighbour of (6, 100)
        {0, 20, 22, 2, 0, 0},   // row 6: (20 + 180) / 9, then 22 / 9
    };
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 6; ++c) EXPECT_EQ(fire.heat(3 + r, 98 + c), expected[r][c]) << "row " << 3 + r << " column " << 98 + c;
}

TEST_F(FireTest, ADampingThatWouldDivideByZeroCoolsInstead) {
    AsciiFire fire(&screen_);
    for (int x = 0; x < AsciiFire::kWidth; ++x) fire.set_heat(50, x, 255);
    // count + decay is 0 for interior cells (8 neighbours) and negative for
    // the edges: they go cold, no division by zero.
    fire.set_decay(-8.0, -8.0, 0.0);
    fire.step();
    EXPECT_EQ(fire.heat(48, 100), 0);
    EXPECT_EQ(fire.heat(49, 0), 0);
    // Nearly zero: the quotient saturates instead of overflowing an int.
    fire.set_decay(-8.0 + 1e-12, -8.0, 0.0);
    for (int x = 0; x < AsciiFire::kWidth; ++x) fire.set_heat(50, x, 255);
    fire.step();
    EXPECT_EQ(fire.heat(49, 100), 255);
}

}  // namespace
