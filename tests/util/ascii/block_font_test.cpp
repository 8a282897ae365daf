// Block letters: glyph widths, advance, text width, clipping, failure.
#include "util/ascii/block_font.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace {

// The columns of row `row` that hold `ch`, as a string of '#' and '.'.
std::string row_text(const AsciiScreen& s, int row, int c0, int c1, uint8_t ch) {
    std::string text;
    for (int c = c0; c <= c1; ++c) text += s.char_at(row, c) == ch ? '#' : '.';
    return text;
}

TEST(BlockFont, GlyphsAreSevenWideButIOneTAndY) {
    ASSERT_EQ(block_font_glyphs.size(), 36u);
    for (char ch : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")) {
        const BlockGlyph* g = AsciiFont::glyph_of(ch);
        ASSERT_NE(g, nullptr) << ch;
        const bool narrow = ch == 'I' || ch == 'T' || ch == 'Y' || ch == '1';
        EXPECT_EQ(g->width, narrow ? 6 : 7) << ch;
        EXPECT_EQ(g->bits.size(), static_cast<size_t>(7 * g->width)) << ch;
        EXPECT_EQ(AsciiFont::glyph_of(static_cast<char>(std::tolower(ch))), g) << ch;
    }
    EXPECT_EQ(AsciiFont::glyph_of('!'), nullptr);
    EXPECT_EQ(AsciiFont::glyph_of('.'), nullptr);
}

TEST(BlockFont, DrawingAdvancesByWidthPlusOneAndASpaceByTwo) {
    AsciiScreen s;
    AsciiFont font(&s);
    int row = 5, col = 10;
    font.draw_char(row, col, 219, 12, 1, 'H');
    font.draw_char(row, col, 219, 12, 1, 'I');
    EXPECT_EQ(col, 25);
    EXPECT_EQ(row, 5);
    EXPECT_EQ(row_text(s, 8, 9, 25, 219), ".#######...##....");  // H's bar and I's stem row
    EXPECT_EQ(row_text(s, 5, 9, 25, 219), ".##...##.######..");
    EXPECT_EQ(s.fg_at(5, 10), 12);
    EXPECT_EQ(s.bg_at(5, 10), 1);
    EXPECT_EQ(s.char_at(5, 12), 0);  // clear bits leave their cells alone

    col = 0;
    font.draw_char(row, col, 219, 12, 1, 'A');
    font.draw_char(row, col, 219, 12, 1, ' ');
    font.draw_char(row, col, 219, 12, 1, 'B');
    EXPECT_EQ(col, 18);
    EXPECT_EQ(AsciiFont::text_width("A B"), 19);
}

TEST(BlockFont, TextWidthCountsNarrowLettersInBothCasesAndNothingForOthers) {
    struct Case {
        const char* text;
        int width;
    };
    const Case cases[] = {{"", 0}, {"a", 8}, {"i", 7}, {"t", 7}, {"y", 7}, {"ITY1", 28},
                          {"Hi", 15}, {"  ", 6}, {"!.", 0}, {"A!B", 16}};
    for (const Case& c : cases) EXPECT_EQ(AsciiFont::text_width(c.text), c.width) << c.text;
}

TEST(BlockFont, LowerCaseDrawsTheCapitalsAndTheBottomIsClipped) {
    AsciiScreen upper, lower;
    AsciiFont(&upper).draw_string(46, 70, '#', 15, 0, "QZ");
    AsciiFont(&lower).draw_string(46, 70, '#', 15, 0, "qz");
    for (int r = 0; r < 50; ++r)
        for (int c = 0; c < 80; ++c) ASSERT_EQ(upper.char_at(r, c), lower.char_at(r, c));
    // Rows 46-49 of the glyph rows 0-3; Z's columns 78-84 cut at 79.
    EXPECT_EQ(row_text(upper, 46, 70, 79, '#'), ".#####..##");
    EXPECT_EQ(row_text(upper, 49, 70, 79, '#'), "##...##...");
}

TEST(BlockFont, ACharacterWithoutAGlyphEndsTheRun) {
    AsciiScreen s;
    AsciiFont font(&s);
    int row = 0, col = 0;
    EXPECT_FATAL(font.draw_char(row, col, '#', 15, 0, '!'), "data is NULL");
    EXPECT_FATAL(font.draw_string(0, 0, '#', 15, 0, "OK."), "data is NULL");
}

}  // namespace
