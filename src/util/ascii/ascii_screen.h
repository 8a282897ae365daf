// The 80 x 50 character screen's cells, without drawing: a character of
// code page 437, a foreground and a background palette index per cell, and
// the put and fill operations that the ASCII pictures, fonts and effects
// draw with. AsciiEngine (ascii_engine.h) adds the drawing; everything here
// runs without OpenGL.
//
// Row 0 is the top row, column 0 the left column; writes outside the screen
// are dropped.
#pragma once

#include <cstdint>

// The 16 colours of the PC text mode, RGBA, in their usual order.
constexpr float kAsciiPalette[16][4] = {
    {0, 0, 0, 1},       {0, 0, 0.5f, 1},    {0, 0.5f, 0, 1},    {0, 0.5f, 0.5f, 1},
    {0.5f, 0, 0, 1},    {0.5f, 0, 0.5f, 1}, {0.5f, 0.5f, 0, 1}, {0.75f, 0.75f, 0.75f, 1},
    {0.5f, 0.5f, 0.5f, 1}, {0, 0, 1, 1},    {0, 1, 0, 1},       {0, 1, 1, 1},
    {1, 0, 0, 1},       {1, 0, 1, 1},       {1, 1, 0, 1},       {1, 1, 1, 1},
};

enum class AsciiFlip : bool { Upright = false, Vertical = true };

class AsciiScreen {
public:
    static constexpr int kRows = 50;
    static constexpr int kCols = 80;
    static constexpr int kCells = kRows * kCols;

    AsciiScreen();

    void put_char(int row, int col, uint8_t ch, uint8_t fg, uint8_t bg);
    // The same, keeping the cell's background.
    void put_char_fg(int row, int col, uint8_t ch, uint8_t fg);
    // Character in bits 0-7, foreground in bits 8-11, background in 12-15.
    void put_packed(int row, int col, uint16_t cell);
    void clear();
    void fill(uint8_t ch, uint8_t fg, uint8_t bg);
    // The rectangle clipped to the screen; nothing for an empty one.
    void fill_rect(int row, int col, int rows, int cols, uint8_t ch, uint8_t fg, uint8_t bg);

    // A picture of 50 row strings of 80 characters, cell by cell, from
    // (row_offset, col_offset); Vertical puts picture row 0 at the bottom.
    // A character that, taken as a signed byte, equals `transparent` leaves
    // its cell alone (so characters 128..255 always draw).
    void draw_picture(const char* const* picture, uint8_t fg, uint8_t bg, int transparent, AsciiFlip flip,
                      int row_offset, int col_offset);
    // Built-in picture index mod 4 (builtin_pictures.h).
    void draw_builtin_picture(int index, uint8_t fg, uint8_t bg, int transparent, AsciiFlip flip,
                              int row_offset, int col_offset);
    // Row src_row of built-in picture index mod 4 into screen row `row`.
    void draw_builtin_row(int row, int col_offset, int index, int src_row, uint8_t fg, uint8_t bg,
                          int transparent);

    uint8_t char_at(int row, int col) const { return chars_[row * kCols + col]; }
    uint8_t fg_at(int row, int col) const { return fg_[row * kCols + col]; }
    uint8_t bg_at(int row, int col) const { return bg_[row * kCols + col]; }

    static bool on_screen(int row, int col) { return row >= 0 && row < kRows && col >= 0 && col < kCols; }

protected:
    uint8_t chars_[kCells];
    uint8_t fg_[kCells];
    uint8_t bg_[kCells];
};
