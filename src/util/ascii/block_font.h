// Large block letters on the character screen: each letter or digit is a
// bitmap 7 rows high and 7 (or, for I, T, Y and 1, 6) columns wide whose set
// bits become whole cells of a caller's character and colours.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "util/ascii/ascii_screen.h"

// One glyph: 7 rows of `width` bits, row-major.
struct BlockGlyph {
    int width = 0;
    std::vector<bool> bits;
    bool set(int row, int col) const { return bits[row * width + col]; }
};

// The 36 glyphs, 'A' to 'Z' then '0' to '9', built once at start-up.
extern const std::vector<BlockGlyph> block_font_glyphs;

class AsciiFont {
public:
    static constexpr int kGlyphRows = 7;

    explicit AsciiFont(AsciiScreen* screen);

    // Draws `ch` with its top-left cell at (row, col) and moves col past it
    // and one blank column; a space draws nothing and moves 2. A character
    // without a glyph ends the run ("data is NULL").
    void draw_char(int& row, int& col, uint8_t cell_ch, uint8_t fg, uint8_t bg, char ch);
    void draw_string(int row, int col, uint8_t cell_ch, uint8_t fg, uint8_t bg, const std::string& text);
    // Columns the text occupies: 3 a space, 7 for I, T, Y and 1, 8 for any
    // other letter or digit, 0 for anything else. (A space counts one more
    // than drawing moves, as the scenes' layouts have always assumed.)
    static int text_width(const std::string& text);
    // The glyph of a character (both cases of a letter share one), or null.
    static const BlockGlyph* glyph_of(char ch);

private:
    AsciiScreen* screen_;  // borrowed
};
