// Raw pictures: width x height bytes, row-major, top row first, no header,
// each byte a colour index 0..15 with bits 0 and 2 exchanged against the
// screen's palette. RawLoader draws one cell per pixel, shifted, or rotated
// and scaled about the picture's centre.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "util/ascii/ascii_screen.h"

// File byte -> palette index (bits 0 and 2 exchanged; its own inverse).
constexpr uint8_t kRawRemap[16] = {0, 4, 2, 6, 1, 5, 3, 7, 8, 12, 10, 14, 9, 13, 11, 15};

// The largest raw picture, in pixels.
constexpr int64_t kRawPictureMaxPixels = 1 << 24;

// The first width x height bytes as palette indices; bytes after them are
// ignored. A size that is not positive or too large, fewer bytes than the
// picture needs, or a byte above 15 (not a colour index) ends the run
// naming `name`.
std::vector<uint8_t> parse_raw_picture(const std::string& name, const uint8_t* bytes, size_t length, int width,
                                       int height);

// The same from a file read through the data layer; a missing file ends
// the run ("Failed to load file ").
std::vector<uint8_t> load_raw_picture(const std::string& file, int width, int height);

class RawLoader {
public:
    RawLoader(AsciiScreen* screen, const std::string& file, int width, int height);
    // A picture already read (parse_raw_picture's result).
    RawLoader(AsciiScreen* screen, int width, int height, std::vector<uint8_t> pixels);

    // Screen cell (i, j) shows pixel (i + row_offset, j + col_offset) as
    // `ch` in the pixel's colour on black; pixels equal to `transparent`
    // leave their cells alone.
    void draw(uint8_t ch, int transparent, int col_offset, int row_offset);
    // Over the same cells as draw, the picture turned by `angle` radians and
    // scaled about its centre, which stays on cell (height / 2, width / 2).
    void draw_rotated(uint8_t ch, int transparent, int col_offset, int row_offset, double angle, double scale_x,
                      double scale_y);

    int width() const { return width_; }
    int height() const { return height_; }
    uint8_t pixel(int row, int col) const { return pixels_[static_cast<size_t>(row) * width_ + col]; }

private:
    struct Range {
        int first, end;
    };
    Range rows(int row_offset) const;
    Range cols(int col_offset) const;

    AsciiScreen* screen_;  // borrowed
    int width_;
    int height_;
    std::vector<uint8_t> pixels_;
};
