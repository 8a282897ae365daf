#include "util/ascii/ascii_screen.h"

#include <cstring>

#include "util/ascii/builtin_pictures.h"

namespace {

bool is_transparent(char c, int transparent) {
    // The comparison is on the signed character, as the pictures' authors
    // have always relied on: no character from 128 up is ever transparent.
    return static_cast<int>(static_cast<signed char>(c)) == transparent;
}

}  // namespace

AsciiScreen::AsciiScreen() { clear(); }

void AsciiScreen::put_char(int row, int col, uint8_t ch, uint8_t fg, uint8_t bg) {
    if (!on_screen(row, col)) return;
    const int i = row * kCols + col;
    chars_[i] = ch;
    fg_[i] = fg;
    bg_[i] = bg;
}

void AsciiScreen::put_char_fg(int row, int col, uint8_t ch, uint8_t fg) {
    if (!on_screen(row, col)) return;
    const int i = row * kCols + col;
    chars_[i] = ch;
    fg_[i] = fg;
}

void AsciiScreen::put_packed(int row, int col, uint16_t cell) {
    put_char(row, col, static_cast<uint8_t>(cell & 0xFF), static_cast<uint8_t>((cell >> 8) & 0xF),
             static_cast<uint8_t>((cell >> 12) & 0xF));
}

void AsciiScreen::clear() { fill(0, 0, 0); }

void AsciiScreen::fill(uint8_t ch, uint8_t fg, uint8_t bg) {
    std::memset(chars_, ch, sizeof chars_);
    std::memset(fg_, fg, sizeof fg_);
    std::memset(bg_, bg, sizeof bg_);
}

void AsciiScreen::fill_rect(int row, int col, int rows, int cols, uint8_t ch, uint8_t fg, uint8_t bg) {
    if (row > kRows || col > kCols || rows < 1 || cols < 1) return;
    if (row < 0) {
        rows += row;
        row = 0;
    }
    if (col < 0) {
        cols += col;
        col = 0;
    }
    // Subtracting keeps huge sizes from overflowing the sums.
    if (rows > kRows - row) rows = kRows - row;
    if (cols > kCols - col) cols = kCols - col;
    if (rows <= 0 || cols <= 0) return;
    for (int r = row; r < row + rows; ++r)
        for (int c = col; c < col + cols; ++c) put_char(r, c, ch, fg, bg);
}

void AsciiScreen::draw_picture(const char* const* picture, uint8_t fg, uint8_t bg, int transparent,
                               AsciiFlip flip, int row_offset, int col_offset) {
    for (int i = 0; i < kRows; ++i) {
        const int row = flip == AsciiFlip::Vertical ? row_offset + kRows - 1 - i : row_offset + i;
        for (int j = 0; j < kCols; ++j) {
            const char c = picture[i][j];
            if (!is_transparent(c, transparent))
                put_char(row, col_offset + j, static_cast<uint8_t>(c), fg, bg);
        }
    }
}

void AsciiScreen::draw_builtin_picture(int index, uint8_t fg, uint8_t bg, int transparent, AsciiFlip flip,
                                       int row_offset, int col_offset) {
    draw_picture(kAsciiBuiltinPictures[index & 3], fg, bg, transparent, flip, row_offset, col_offset);
}

void AsciiScreen::draw_builtin_row(int row, int col_offset, int index, int src_row, uint8_t fg, uint8_t bg,
                                   int transparent) {
    if (row < 0 || row >= kRows || src_row < 0 || src_row >= kRows) return;
    const char* line = kAsciiBuiltinPictures[index & 3][src_row];
    for (int j = 0; j < kCols; ++j)
        if (!is_transparent(line[j], transparent))
            put_char(row, col_offset + j, static_cast<uint8_t>(line[j]), fg, bg);
}
