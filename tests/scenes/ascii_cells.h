// Cell checks of the character-screen scene tests.
#pragma once

#include <gtest/gtest.h>

#include "util/ascii/ascii_screen.h"

namespace ascii_cells {

// Whether a cell shows anything: a coloured background or a visible
// character in a colour.
inline bool lit(const AsciiScreen& s, int r, int c) {
    const uint8_t ch = s.char_at(r, c);
    return s.bg_at(r, c) != 0 || (s.fg_at(r, c) != 0 && ch != 0 && ch != ' ' && ch != 255);
}

inline int lit_cells(const AsciiScreen& s) {
    int n = 0;
    for (int r = 0; r < AsciiScreen::kRows; ++r)
        for (int c = 0; c < AsciiScreen::kCols; ++c) n += lit(s, r, c);
    return n;
}

inline void expect_cell(const AsciiScreen& s, int r, int c, uint8_t ch, uint8_t fg, uint8_t bg) {
    EXPECT_EQ(s.char_at(r, c), ch) << r << "," << c;
    EXPECT_EQ(s.fg_at(r, c), fg) << r << "," << c;
    EXPECT_EQ(s.bg_at(r, c), bg) << r << "," << c;
}

}  // namespace ascii_cells
