// The intro's screen from its track values: the wiped-in logo with the bar
// and its tower, the section rounding, the scrolling pictures, the glint
// bar and the glitch cells.
#include "scenes/scene_textintro/intro_screen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "scenes/ascii_cells.h"
#include "util/ascii/ascii_screen.h"

namespace {

using ascii_cells::expect_cell;
using ascii_cells::lit;
using ascii_cells::lit_cells;

bool same_cell(const AsciiScreen& a, const AsciiScreen& b, int r, int c) {
    return a.char_at(r, c) == b.char_at(r, c) && a.fg_at(r, c) == b.fg_at(r, c) && a.bg_at(r, c) == b.bg_at(r, c);
}

bool same_screen(const AsciiScreen& a, const AsciiScreen& b) {
    for (int r = 0; r < AsciiScreen::kRows; ++r)
        for (int c = 0; c < AsciiScreen::kCols; ++c)
            if (!same_cell(a, b, r, c)) return false;
    return true;
}

AsciiScreen intro(const IntroValues& v) {
    AsciiScreen s;
    draw_intro(s, v, IntroEffects{});
    return s;
}

TEST(IntroScreen, AtTheStartEveryTrackAtItsDefaultTheScreenIsBlack) {
    EXPECT_EQ(lit_cells(intro(IntroValues{})), 0);
}

TEST(IntroScreen, SectionOneShowsTheFlippedLogoUpToTheBarsHeadAndTheTowerRisingFromIt) {
    IntroValues v;
    v.section = 1;
    v.progress = 40;
    v.prog2 = 3;
    AsciiScreen s = intro(v);

    AsciiScreen logo;
    logo.draw_builtin_picture(0, 15, 0, '.', AsciiFlip::Vertical, 0, 0);
    for (int r = 0; r < 43; ++r)
        for (int c = 0; c < 40; ++c) ASSERT_TRUE(same_cell(s, logo, r, c)) << r << "," << c;
    for (int r = 0; r < AsciiScreen::kRows; ++r)
        for (int c = 42; c < AsciiScreen::kCols; ++c) EXPECT_FALSE(lit(s, r, c)) << r << "," << c;
    // The bar: the darkest shade at the bottom.
    for (int c = 0; c < 40; ++c) {
        expect_cell(s, 46, c, 178, 15, 0);
        expect_cell(s, 45, c, 177, 15, 0);
        expect_cell(s, 44, c, 176, 15, 0);
    }
    // The tower: its foot at the head, then two rows of three.
    expect_cell(s, 45, 40, 177, 15, 0);
    expect_cell(s, 45, 41, 178, 15, 0);
    expect_cell(s, 46, 40, 178, 15, 0);
    expect_cell(s, 46, 41, 178, 15, 0);
    for (int r : {44, 43}) {
        expect_cell(s, r, 39, 176, 15, 0);
        expect_cell(s, r, 40, 177, 15, 0);
        expect_cell(s, r, 41, 178, 15, 0);
    }
    EXPECT_FALSE(lit(s, 42, 40));
}

TEST(IntroScreen, TheSectionIsTheNearestInteger) {
    const struct {
        float value;
        int section;
    } cases[] = {{0, 0}, {1.49f, 1}, {1.5f, 2}, {2.2f, 2}, {4.0f, 4}, {-0.4f, 0},
                 {std::numeric_limits<float>::quiet_NaN(), 0}, {1e30f, 1000000}};
    for (const auto& c : cases) EXPECT_EQ(intro_section(c.value), c.section) << c.value;
}

TEST(IntroScreen, SectionTwoScrollsThePicturesByTheFractionOfProgThree) {
    IntroValues v;
    v.section = 2;
    AsciiScreen in_place;
    in_place.draw_builtin_picture(3, 11, 1, '.', AsciiFlip::Upright, 0, 0);
    v.prog3 = 1.5f;  // offset 0
    EXPECT_TRUE(same_screen(intro(v), in_place));
    v.prog3 = 1.0f;  // 80 rows above the screen
    EXPECT_EQ(lit_cells(intro(v)), 0);

    // 4: the logo revealed from row 10 down to row 10 + 48t - 1.
    v.prog3 = 4.5f;
    AsciiScreen s = intro(v);
    AsciiScreen logo;
    logo.draw_builtin_picture(0, 11, 1, '.', AsciiFlip::Upright, 0, 0);
    for (int c = 0; c < AsciiScreen::kCols; ++c) {
        EXPECT_FALSE(lit(s, 9, c));
        EXPECT_TRUE(same_cell(s, logo, 10, c));
        EXPECT_TRUE(same_cell(s, logo, 33, c));
        EXPECT_FALSE(lit(s, 34, c));
    }
}

TEST(IntroScreen, SectionFourDrawsTheBarWithAThreeColumnGlint) {
    IntroValues v;
    v.section = 4;
    v.progress = 10;
    v.prog2 = 5;
    AsciiScreen s = intro(v);
    const uint8_t glint[][2] = {{15, 0}, {15, 0}, {15, 0}, {11, 7}, {9, 7}, {15, 7}, {15, 0}, {15, 0}, {15, 0}, {15, 0}};
    for (int c = 0; c < 10; ++c) expect_cell(s, 45, c, 177, glint[c][0], glint[c][1]);
    EXPECT_FALSE(lit(s, 45, 10));

    // At column 0 the glint's first two columns fall off the left edge.
    v.prog2 = 0;
    s = intro(v);
    expect_cell(s, 46, 0, 178, 15, 7);
    expect_cell(s, 46, 1, 178, 15, 0);
}

TEST(IntroScreen, TheOpeningSectionGrowsASecondBarFromTheRightAlongTheTop) {
    IntroValues v;
    v.progress = 80;
    v.prog3 = 10;
    AsciiScreen s = intro(v);
    for (int c = 70; c < 80; ++c) {
        expect_cell(s, 4, c, 178, 15, 0);
        expect_cell(s, 6, c, 176, 15, 0);
    }
    EXPECT_NE(s.char_at(5, 69), 177);
}

TEST(IntroScreen, GlitchCellsComeFromTheSeedAlone) {
    AsciiScreen blank, a, b, other, none;
    draw_glitch_cells(none, 0, 7);
    EXPECT_TRUE(same_screen(none, blank));
    draw_glitch_cells(a, 40, 7);
    draw_glitch_cells(b, 40, 7);
    draw_glitch_cells(other, 40, 8);
    EXPECT_TRUE(same_screen(a, b));
    EXPECT_FALSE(same_screen(a, other));
    EXPECT_GT(lit_cells(a), 20);

    // Through the tracks: the seed rounds to the nearest integer.
    IntroValues v;
    v.rnd_things = 40;
    v.rnd_seed = 6.6f;
    AsciiScreen from_tracks = intro(v);
    EXPECT_TRUE(same_screen(from_tracks, a));
}

TEST(IntroScreen, HugeTrackValuesFinishTheFrame) {
    IntroValues v;
    v.section = 1;
    v.progress = 40;
    v.prog2 = 1e30f;  // the tower stops at the top row
    EXPECT_EQ(intro(v).char_at(0, 40), 177);
    v.rnd_things = 1e30f;  // a bounded number of cells
    EXPECT_GT(lit_cells(intro(v)), 3000);
}

}  // namespace
