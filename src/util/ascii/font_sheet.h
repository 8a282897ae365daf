// The character screen's font sheet, a PNG compiled into the program:
// 640 x 120 pixels, code n of code page 437 in the 8 x 12 cell at column
// n % 80, cell row n / 80, white on black. Made by tools/make_ascii_font.py.
#pragma once

extern const unsigned char kAsciiFontSheetPng[];
extern const int kAsciiFontSheetPngSize;
