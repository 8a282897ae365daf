// The ribbons: their shape from the tracks alone, their colours along the
// length and when lit, and which note lights which, with fewer than four
// notes in the track.
#include "scenes/scene_textribbons/ribbon_screen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "util/math/random.h"

namespace {

// The cells a ribbon draws on an empty screen, as (row, column) pairs.
std::vector<std::pair<int, int>> cells_of(int row, int col, float phase, bool lit, uint32_t seed,
                                          AsciiScreen* out = nullptr) {
    AsciiScreen s;
    random_seed(seed);
    draw_ribbon(s, row, col, phase, lit);
    std::vector<std::pair<int, int>> cells;
    for (int r = 0; r < AsciiScreen::kRows; ++r)
        for (int c = 0; c < AsciiScreen::kCols; ++c)
            if (s.fg_at(r, c) != 0 || s.bg_at(r, c) != 0) cells.emplace_back(r, c);
    if (out) *out = s;
    return cells;
}

TEST(RibbonScreen, ColoursFadeFromWhiteThroughYellowAndRedToGrey) {
    const auto& c = ribbon_colours();
    const struct {
        int index, fg, bg;
    } cases[] = {{0, 15, 15}, {1, 15, 15}, {2, 15, 14}, {4, 14, 12}, {5, 14, 4}, {6, 12, 12},
                 {15, 12, 12}, {16, 12, 4}, {25, 12, 4}, {26, 12, 0}, {29, 12, 0}, {30, 8, 0}, {31, 8, 0}};
    for (const auto& k : cases) {
        EXPECT_EQ(c[static_cast<size_t>(k.index)].fg, k.fg) << k.index;
        EXPECT_EQ(c[static_cast<size_t>(k.index)].bg, k.bg) << k.index;
    }
}

TEST(RibbonScreen, WithEveryTrackAtZeroOnlyTheHeadCellIsOnScreen) {
    AsciiScreen s;
    const auto cells = cells_of(0, 0, 0, false, 1, &s);
    ASSERT_EQ(cells.size(), 1u);
    EXPECT_EQ(cells[0], std::make_pair(0, 0));
    EXPECT_EQ(s.fg_at(0, 0), 15);
}

TEST(RibbonScreen, AHeadBeyondTheRightEdgeShowsOnlyTheTail) {
    AsciiScreen s;
    const auto cells = cells_of(25, 100, 0, false, 1, &s);
    // i = 21 (column 79) to 31 (column 69), one cell thick there.
    ASSERT_EQ(cells.size(), 11u);
    for (const auto& cell : cells) EXPECT_GE(cell.second, 69);
    // Column 79 holds colour pair 21.
    int shown = 0;
    for (int r = 0; r < AsciiScreen::kRows; ++r)
        if (s.bg_at(r, 79) != 0) {
            ++shown;
            EXPECT_EQ(s.fg_at(r, 79), 12);
            EXPECT_EQ(s.bg_at(r, 79), 4);
        }
    EXPECT_EQ(shown, 1);
}

TEST(RibbonScreen, TheShapeDependsOnTheTracksOnlyAndALitRibbonsCoreTurnsCyan) {
    AsciiScreen plain, lit;
    const auto a = cells_of(25, 60, 1.3f, false, 1, &plain);
    const auto b = cells_of(25, 60, 1.3f, false, 99);
    const auto c = cells_of(25, 60, 1.3f, true, 5, &lit);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, c);
    // Three cells thick for i = 1..15, one beyond: 32 + 2 x 15.
    EXPECT_EQ(a.size(), 62u);
    // Head at row 25 + (int)(3 sin 1.3) = 27; its neighbours keep the edge
    // colours of the unlit ribbon.
    EXPECT_EQ(lit.fg_at(27, 60), 11);
    EXPECT_EQ(lit.bg_at(27, 60), 11);
    EXPECT_EQ(plain.fg_at(27, 60), 15);
    const int row1 = 25 + static_cast<int>(std::sin(1.3f - 0.15f) * 3.0f);
    EXPECT_EQ(lit.fg_at(row1 - 1, 59), plain.fg_at(row1 - 1, 59));
    EXPECT_EQ(lit.bg_at(row1 + 1, 59), 14);  // colour pair 2
}

TEST(RibbonScreen, EachRibbonFollowsItsNoteAndMissingNotesStayUnlit) {
    const struct {
        const char* what;
        std::vector<bool> states;
        std::vector<bool> lit;  // ribbons 1 to 4
    } cases[] = {
        {"the first note lights ribbon 3", {true, false, false, false}, {false, false, true, false}},
        {"the second ribbon 4", {false, true, false, false}, {false, false, false, true}},
        {"the third ribbon 1, the fourth ribbon 2", {false, false, true, true}, {true, true, false, false}},
        {"no notes", {}, {false, false, false, false}},
        {"three notes: ribbon 2 has none", {true, true, true}, {true, false, true, true}},
        {"a fifth note lights nothing more", {false, false, false, false, true}, {false, false, false, false}},
    };
    for (const auto& c : cases)
        for (int n = 0; n < kRibbons; ++n) EXPECT_EQ(ribbon_lit(c.states, n), c.lit[static_cast<size_t>(n)]) << c.what;
}

}  // namespace
