// Text pictures (ASCII art): a plain-text file read through the data layer
// into a width x height character buffer, one line a row, width the longest
// line, shorter lines padded with zero bytes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "util/ascii/ascii_screen.h"

struct TextPicture {
    int width = 0;
    int height = 0;
    std::vector<char> chars;  // width x height, row-major
    char at(int row, int col) const { return chars[static_cast<size_t>(row) * width + col]; }
};

// The largest text picture read, in each direction.
constexpr int kTextPictureMaxSide = 4096;

// Splits the text (without the data layer's terminating zero) at line
// feeds; a carriage return before a line feed is dropped, and a final line
// feed adds no empty line. An empty text, one with a zero byte or one
// larger than kTextPictureMaxSide either way ends the run naming `name`.
TextPicture parse_text_picture(const std::string& name, const char* text, size_t length);

class AsciiLoader {
public:
    // Reads the picture; a missing file ends the run ("Failed to load ").
    AsciiLoader(AsciiScreen* screen, const std::string& file);

    int width() const { return picture_.width; }
    int height() const { return picture_.height; }
    const TextPicture& picture() const { return picture_; }

private:
    AsciiScreen* screen_;  // borrowed
    TextPicture picture_;
};
