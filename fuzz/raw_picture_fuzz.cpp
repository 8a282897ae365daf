// Raw pictures from arbitrary bytes: the reader either refuses them through
// the fatal-error convention or gives width x height palette indices, which
// then draw shifted and turned on the character screen without reading
// outside the picture.
//
// Input: width and height as signed 16-bit little-endian numbers, a column
// and a row offset (signed bytes, times 4), an angle and a scale byte, then
// the file's bytes.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "system/fatal.h"
#include "util/ascii/raw_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool once = [] {
        fatal::set_handler([](const fatal::Report& r) { throw std::runtime_error(r.message); });
        return true;
    }();
    (void)once;
    if (size < 8) return 0;
    const int width = static_cast<int16_t>(data[0] | data[1] << 8);
    const int height = static_cast<int16_t>(data[2] | data[3] << 8);
    const int col_offset = static_cast<int8_t>(data[4]) * 4;
    const int row_offset = static_cast<int8_t>(data[5]) * 4;
    const double angle = data[6] * (2.0 * M_PI / 256.0);
    const double scale = (static_cast<int8_t>(data[7])) / 16.0;
    try {
        std::vector<uint8_t> pixels = parse_raw_picture("fuzz.raw", data + 8, size - 8, width, height);
        if (pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) std::abort();
        for (uint8_t p : pixels)
            if (p > 15) std::abort();
        AsciiScreen screen;
        RawLoader raw(&screen, width, height, std::move(pixels));
        raw.draw(219, 0, col_offset, row_offset);
        raw.draw_rotated(219, 13, col_offset, row_offset, angle, scale, -scale);
        for (int r = 0; r < AsciiScreen::kRows; ++r)
            for (int c = 0; c < AsciiScreen::kCols; ++c)
                if (screen.fg_at(r, c) > 15 || screen.bg_at(r, c) != 0) std::abort();
    } catch (const std::runtime_error&) {
        // A fatal error is a valid answer to a bad picture.
    }
    return 0;
}
