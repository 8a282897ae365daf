// The character screen's cells: bounds, rectangles, packed cells, pictures.
#include "util/ascii/ascii_screen.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "util/ascii/builtin_pictures.h"
#include "util/data/loadingscreen.h"

namespace {

// The cells whose character is `ch`, as (row, col) pairs.
std::set<std::pair<int, int>> cells_with(const AsciiScreen& s, uint8_t ch) {
    std::set<std::pair<int, int>> cells;
    for (int r = 0; r < AsciiScreen::kRows; ++r)
        for (int c = 0; c < AsciiScreen::kCols; ++c)
            if (s.char_at(r, c) == ch) cells.insert({r, c});
    return cells;
}

std::set<std::pair<int, int>> block(int r0, int r1, int c0, int c1) {
    std::set<std::pair<int, int>> cells;
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) cells.insert({r, c});
    return cells;
}

TEST(AsciiScreen, StartsBlackAndDropsWritesOutsideTheScreen) {
    AsciiScreen s;
    EXPECT_TRUE(cells_with(s, 0).size() == AsciiScreen::kCells);
    for (auto [row, col] : std::vector<std::pair<int, int>>{{50, 0}, {0, 80}, {-1, 0}, {0, -1}, {1000000, 5}}) {
        s.put_char(row, col, 'x', 1, 2);
        s.put_char_fg(row, col, 'y', 3);
        s.put_packed(row, col, 0x4E41);
    }
    EXPECT_TRUE(cells_with(s, 0).size() == AsciiScreen::kCells);

    s.put_char(49, 79, 'x', 1, 2);
    EXPECT_EQ(s.char_at(49, 79), 'x');
    s.put_char_fg(49, 79, 'y', 3);
    EXPECT_EQ(s.fg_at(49, 79), 3);
    EXPECT_EQ(s.bg_at(49, 79), 2);  // kept
}

TEST(AsciiScreen, PackedCellHoldsCharacterForegroundAndBackground) {
    AsciiScreen s;
    s.put_packed(3, 4, 0x4E41);
    EXPECT_EQ(s.char_at(3, 4), 'A');
    EXPECT_EQ(s.fg_at(3, 4), 14);
    EXPECT_EQ(s.bg_at(3, 4), 4);
}

TEST(AsciiScreen, FillRectIsClippedToTheScreen) {
    struct Case {
        const char* name;
        int row, col, rows, cols;
        std::set<std::pair<int, int>> filled;
    };
    const Case cases[] = {
        {"above and left", -2, -3, 5, 6, block(0, 2, 0, 2)},
        {"below and right", 48, 78, 5, 5, block(48, 49, 78, 79)},
        {"inside", 10, 20, 2, 3, block(10, 11, 20, 22)},
        {"the whole screen and more", -100, -100, 1000, 1000, block(0, 49, 0, 79)},
        {"huge sizes", 1, 1, 2147483647, 2147483647, block(1, 49, 1, 79)},
        {"row 50", 50, 0, 5, 5, {}},
        {"column 80", 0, 80, 5, 5, {}},
        {"no rows", 0, 0, 0, 5, {}},
        {"no columns", 0, 0, 5, 0, {}},
        {"wholly above", -10, 0, 10, 5, {}},
        {"wholly left", 0, -10, 5, 10, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AsciiScreen s;
        s.fill_rect(c.row, c.col, c.rows, c.cols, '#', 14, 4);
        EXPECT_EQ(cells_with(s, '#'), c.filled);
        for (auto [r, col] : c.filled) EXPECT_TRUE(s.fg_at(r, col) == 14 && s.bg_at(r, col) == 4);
    }
}

TEST(AsciiScreen, FillAndClearSetEveryCell) {
    AsciiScreen s;
    s.fill(176, 9, 1);
    EXPECT_EQ(cells_with(s, 176).size(), static_cast<size_t>(AsciiScreen::kCells));
    EXPECT_TRUE(s.fg_at(25, 40) == 9 && s.bg_at(25, 40) == 1);
    s.clear();
    EXPECT_TRUE(cells_with(s, 0).size() == AsciiScreen::kCells && s.fg_at(25, 40) == 0 && s.bg_at(25, 40) == 0);
}

// A picture whose row i is the letter 'a' + i % 26 at column 0, then '.'.
struct LetterPicture {
    LetterPicture() {
        for (int i = 0; i < 50; ++i) {
            text[i] = std::string(80, '.');
            text[i][0] = static_cast<char>('a' + i % 26);
            rows[i] = text[i].c_str();
        }
    }
    std::string text[50];
    const char* rows[50];
};

TEST(AsciiScreen, PictureFlippedPutsRowZeroAtTheBottomAndSkipsTransparentCells) {
    LetterPicture p;
    AsciiScreen s;
    s.fill('#', 2, 3);
    s.draw_picture(p.rows, 15, 1, '.', AsciiFlip::Vertical, -5, 0);
    EXPECT_EQ(s.char_at(44, 0), 'a');  // row 0 on screen row 49 + offset
    EXPECT_EQ(s.char_at(43, 0), 'b');
    EXPECT_EQ(s.fg_at(44, 0), 15);
    EXPECT_EQ(s.bg_at(44, 0), 1);
    EXPECT_EQ(s.char_at(49, 0), '#');  // rows 45-49 are off the picture
    // '.' leaves the cell untouched, background included.
    EXPECT_TRUE(s.char_at(10, 1) == '#' && s.fg_at(10, 1) == 2 && s.bg_at(10, 1) == 3);

    s.draw_picture(p.rows, 15, 1, '.', AsciiFlip::Upright, 3, 78);
    EXPECT_EQ(s.char_at(3, 78), 'a');
    EXPECT_EQ(s.char_at(49, 78), 'a' + 46 % 26);  // picture rows 47-49 fall off the screen
}

TEST(AsciiScreen, CharactersFrom128UpAreNeverTransparent) {
    LetterPicture p;
    p.text[0][5] = static_cast<char>(219);
    AsciiScreen s;
    s.draw_picture(p.rows, 15, 0, 219, AsciiFlip::Upright, 0, 0);
    EXPECT_EQ(s.char_at(0, 5), 219);
    s.clear();
    s.draw_picture(p.rows, 15, 0, -37, AsciiFlip::Upright, 0, 0);  // 219 as a signed byte
    EXPECT_EQ(s.char_at(0, 5), 0);
}

TEST(AsciiScreen, BuiltinPicturesAreFiftyRowsOfEightyPrintableCharactersOnDots) {
    for (int index = 0; index < 4; ++index) {
        SCOPED_TRACE(index);
        std::set<char> used;
        int dots = 0;
        for (const char* row : kAsciiBuiltinPictures[index]) {
            ASSERT_EQ(std::string(row).size(), 80u);
            for (int j = 0; j < 80; ++j) {
                EXPECT_TRUE(row[j] >= 32 && row[j] < 127);
                used.insert(row[j]);
                dots += row[j] == '.';
            }
        }
        EXPECT_GT(dots, 4000 / 3);  // a background, not a detail
        const std::set<char> expected = index < 2 ? std::set<char>{'.', 'o', '8', '#'} : std::set<char>{'.', '#', ':'};
        std::set<char> drawn = used;
        drawn.erase(' ');
        EXPECT_EQ(drawn, expected);
        EXPECT_EQ(used.count(' '), index == 1 ? 1u : 0u);  // picture 1's band of spaces
    }
}

TEST(AsciiScreen, BuiltinPicturesDrawByIndexModFourAndRowByRow) {
    AsciiScreen whole, wrapped, rows;
    whole.draw_builtin_picture(2, 11, 1, '.', AsciiFlip::Upright, 0, 0);
    wrapped.draw_builtin_picture(6, 11, 1, '.', AsciiFlip::Upright, 0, 0);
    for (int r = 0; r < 50; ++r) rows.draw_builtin_row(r, 0, -2, r, 11, 1, '.');
    rows.draw_builtin_row(50, 0, 2, 0, 15, 0, -1);  // out of range: nothing
    rows.draw_builtin_row(0, 0, 2, -1, 15, 0, -1);
    for (int r = 0; r < 50; ++r)
        for (int c = 0; c < 80; ++c) {
            ASSERT_EQ(whole.char_at(r, c), wrapped.char_at(r, c));
            ASSERT_EQ(whole.char_at(r, c), rows.char_at(r, c));
            ASSERT_EQ(whole.bg_at(r, c), rows.bg_at(r, c));
        }
    EXPECT_FALSE(cells_with(whole, '#').empty());
}

TEST(AsciiScreen, LetterBoxAtFourByThree) {
    struct Case {
        int width, height;
        ViewportRect expected;
    };
    const Case cases[] = {
        {1920, 1080, {240, 0, 1440, 1080}},
        {1280, 1024, {0, 32, 1280, 960}},
        {800, 600, {0, 0, 800, 600}},
    };
    for (const Case& c : cases) {
        ViewportRect v = letterbox(c.width, c.height, 4.0f / 3.0f);
        EXPECT_EQ((std::vector<int>{v.x, v.y, v.width, v.height}),
                  (std::vector<int>{c.expected.x, c.expected.y, c.expected.width, c.expected.height}))
            << c.width << "x" << c.height;
    }
}

}  // namespace
