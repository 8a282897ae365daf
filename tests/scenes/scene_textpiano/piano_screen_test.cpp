// The piano scene's screen: the key list, the keyboard's cells idle and
// lit, the rows' layout and scrolling, and the closing lines.
#include "scenes/scene_textpiano/piano_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "scenes/ascii_cells.h"

namespace {

using ascii_cells::expect_cell;

bool any_lit(const AsciiScreen& s) { return ascii_cells::lit_cells(s) > 0; }

TEST(PianoScreen, TheKeysRunFromC36ToB59WithTheirShapes) {
    const std::vector<PianoKey> keys = piano_keys();
    ASSERT_EQ(keys.size(), 24u);
    EXPECT_EQ(keys.front().note, 36);
    EXPECT_EQ(keys.back().note, 59);
    const struct {
        int note, shape;
    } cases[] = {{36, 1}, {37, 0}, {38, 2}, {40, 3}, {41, 1}, {43, 2}, {45, 2}, {46, 0}, {47, 3}, {59, 3}};
    for (const auto& c : cases) EXPECT_EQ(keys[static_cast<size_t>(c.note - 36)].shape, c.shape) << c.note;
}

TEST(PianoScreen, AnIdleKeyboardHasItsCabinetPanelAndKeys) {
    AsciiScreen s;
    draw_keyboard(s, 0, 0, piano_keys(), SoundingNotes{});
    // Cabinet: the top in red, the frame beside the keys.
    expect_cell(s, 0, 0, 0, 12, 12);
    expect_cell(s, 5, 56, 0, 12, 12);
    expect_cell(s, 17, 0, 0, 12, 12);
    expect_cell(s, 17, 56, 0, 12, 12);
    // Panel: knobs on even offsets, a divider, switches in rows 2 and 3.
    expect_cell(s, 1, 3, ' ', 0, 8);
    expect_cell(s, 1, 4, '*', 0, 8);
    expect_cell(s, 4, 16, 179, 0, 8);
    expect_cell(s, 1, 18, ' ', 0, 8);
    expect_cell(s, 2, 18, 203, 0, 8);
    expect_cell(s, 3, 18, 186, 0, 8);
    expect_cell(s, 3, 19, ' ', 0, 8);
    expect_cell(s, 1, 30, 0, 12, 12);
    // Keys: C in columns 1-2 the whole height, C# in 3-5 down to row 12
    // with its line below, E's line to F in column 12, B's to the next C
    // in column 28; the last B runs to column 55 without a line.
    expect_cell(s, 6, 1, 0, 0, 7);
    expect_cell(s, 17, 2, 0, 0, 7);
    expect_cell(s, 6, 3, 0, 7, 0);
    expect_cell(s, 12, 5, 0, 7, 0);
    expect_cell(s, 13, 3, 0, 0, 7);
    expect_cell(s, 13, 4, 179, 0, 7);
    expect_cell(s, 6, 12, 179, 0, 7);
    expect_cell(s, 6, 28, 179, 0, 7);
    expect_cell(s, 6, 29, 0, 0, 7);  // the second octave's C
    expect_cell(s, 6, 55, 0, 0, 7);
    expect_cell(s, 6, 56, 0, 12, 12);
}

TEST(PianoScreen, ASoundingKeyTurnsWhiteWithTheLineAfterAnEOrB) {
    const std::vector<PianoKey> keys = piano_keys();
    const struct {
        const char* what;
        SoundingNotes notes;
        bool e_lit, c_sharp_lit;
    } cases[] = {
        {"E sounds", {{40, 37}, {true, false}}, true, false},
        {"C# sounds", {{40, 37}, {false, true}}, false, true},
        {"a key twice: its first note decides", {{40, 40}, {false, true}}, false, false},
        {"fewer states than notes", {{37, 40}, {false}}, false, false},
        {"no such key in the track", {{60, 35}, {true, true}}, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AsciiScreen s;
        draw_keyboard(s, 0, 0, keys, c.notes);
        const uint8_t e = c.e_lit ? 15 : 7, e_fg = c.e_lit ? 15 : 0;
        expect_cell(s, 6, 10, 0, e_fg, e);
        expect_cell(s, 17, 9, 0, e_fg, e);
        expect_cell(s, 6, 12, 179, e_fg, e);  // the line after E
        expect_cell(s, 6, 4, 0, c.c_sharp_lit ? 15 : 7, c.c_sharp_lit ? 15 : 0);
        expect_cell(s, 6, 1, 0, 0, 7);  // C stays idle
    }
}

TEST(PianoScreen, RowsAreLaidOutFromTheTextWidthsAndGaps) {
    const std::vector<PianoItem> upper = layout_piano_items(piano_upper_texts());
    const std::vector<PianoItem> lower = layout_piano_items(piano_lower_texts());
    ASSERT_EQ(upper.size(), 15u);
    ASSERT_EQ(lower.size(), 24u);
    EXPECT_TRUE(upper[0].keyboard);
    EXPECT_EQ(upper[0].x, 0);
    EXPECT_EQ(upper[0].width, 61);
    EXPECT_FALSE(upper[1].keyboard);
    EXPECT_EQ(upper[1].text, "Greetings to");
    EXPECT_EQ(upper[1].x, 61);
    EXPECT_EQ(upper[1].width, 92);
    EXPECT_EQ(upper[2].x, 153);
    EXPECT_TRUE(upper.back().keyboard);
    for (size_t i = 0; i < lower.size(); ++i) EXPECT_EQ(lower[i].keyboard, i % 2 == 0) << i;

    // The greetings are drawable: letters, digits and spaces.
    for (const auto* list : {&upper, &lower})
        for (const PianoItem& item : *list)
            for (char ch : item.text) EXPECT_TRUE(ch == ' ' || AsciiFont::glyph_of(ch)) << item.text;
}

TEST(PianoScreen, NoGreetedNameNorTheEventHasTheBlockFontsE) {
    // The block font's E, open on the right with hooked ends, reads as a
    // currency sign in a name standing alone. The heading "Greetings to" is
    // the one text with an E: a phrase reads as words.
    std::vector<std::string> names = {kPianoEventName};
    for (const std::vector<std::string>& texts : {piano_upper_texts(), piano_lower_texts()})
        for (const std::string& text : texts)
            if (!text.empty() && text != "Greetings to") names.push_back(text);
    ASSERT_EQ(names.size(), 19u) << "the eighteen groups and the event";
    for (const std::string& name : names) EXPECT_EQ(name.find_first_of("Ee"), std::string::npos) << name;
}

TEST(PianoScreen, RowsScrollFromTheRightEdgeAndBounceWithTheBeat) {
    const struct {
        float progress, beats;
        int upper_row, lower_row;
        int64_t upper_x0, lower_x0;
    } cases[] = {
        {0, 0, 4, 33, 80, 80},
        {1, 2.0f / 3.0f, 9, 30, 70, 64},  // sin(pi/2) = 1, cos(pi/3) = 0.5
        {std::numeric_limits<float>::quiet_NaN(), 0, 4, 33, 80, 80},
    };
    for (const auto& c : cases) {
        const PianoRows rows = piano_rows(c.progress, 10, 16, c.beats);
        EXPECT_EQ(rows.upper_row, c.upper_row) << c.beats;
        EXPECT_EQ(rows.lower_row, c.lower_row) << c.beats;
        EXPECT_EQ(rows.upper_x0, c.upper_x0) << c.progress;
        EXPECT_EQ(rows.lower_x0, c.lower_x0) << c.progress;
    }
}

TEST(PianoScreen, ARowShowsOnlyTheItemsOverTheScreen) {
    const std::vector<PianoItem> items = layout_piano_items(piano_upper_texts());
    const std::vector<PianoKey> keys = piano_keys();
    {
        // At the start the row waits beyond the right edge.
        AsciiScreen s;
        AsciiFont f(&s);
        draw_piano_row(s, f, items, 4, 80, keys, SoundingNotes{});
        EXPECT_FALSE(any_lit(s));
    }
    {
        // Scrolled to 0: the keyboard at column 0, the greeting from 61.
        AsciiScreen s;
        AsciiFont f(&s);
        draw_piano_row(s, f, items, 4, 0, keys, SoundingNotes{});
        expect_cell(s, 4, 0, 0, 12, 12);
        bool text = false;
        for (int r = 10; r < 17; ++r)
            for (int c = 61; c < 80; ++c) text = text || (s.char_at(r, c) == '8' && s.fg_at(r, c) == 11);
        EXPECT_TRUE(text);
    }
    {
        // Far past the end, nothing; far ahead, the row's values stay in range.
        AsciiScreen s;
        AsciiFont f(&s);
        draw_piano_row(s, f, items, 4, -100000, keys, SoundingNotes{});
        draw_piano_row(s, f, items, 4, int64_t{1} << 40, keys, SoundingNotes{});
        EXPECT_FALSE(any_lit(s));
    }
    {
        // The lower row's keyboard at its lowest runs past the bottom.
        AsciiScreen s;
        draw_keyboard(s, 33, 0, keys, SoundingNotes{});
        expect_cell(s, 49, 1, 0, 0, 7);
    }
}

TEST(PianoScreen, ClosingLinesShowAtRowsFifteenAndThirtyUnlessHidden) {
    auto rows_with_text = [](int last_text) {
        AsciiScreen s;
        AsciiFont f(&s);
        draw_closing_lines(f, last_text);
        std::vector<int> rows;
        for (int r = 0; r < AsciiScreen::kRows; ++r)
            for (int c = 0; c < AsciiScreen::kCols; ++c)
                if (s.char_at(r, c) == '8') {
                    rows.push_back(r);
                    break;
                }
        return rows;
    };
    const std::vector<int> shown = rows_with_text(0);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), 15);
    EXPECT_EQ(shown.back(), 36);
    EXPECT_NE(std::find(shown.begin(), shown.end(), 30), shown.end());
    EXPECT_TRUE(rows_with_text(-100).empty());
    // Sliding in from above: the first line's last rows show first.
    EXPECT_EQ(rows_with_text(-20).front(), 0);
}

}  // namespace
