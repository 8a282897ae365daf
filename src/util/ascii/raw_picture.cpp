#include "util/ascii/raw_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "system/fatal.h"
#include "util/data/data.h"

std::vector<uint8_t> parse_raw_picture(const std::string& name, const uint8_t* bytes, size_t length, int width,
                                       int height) {
    if (width <= 0 || height <= 0 || static_cast<int64_t>(width) * height > kRawPictureMaxPixels)
        FATAL_ERROR("Raw picture " << name << " cannot be " << width << "x" << height << " pixels");
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (length < count)
        FATAL_ERROR("File " << name << " is only " << length << " bytes, expected " << width << "x" << height
                            << " image!");
    std::vector<uint8_t> pixels(count);
    for (size_t i = 0; i < count; ++i) {
        if (bytes[i] > 15)
            FATAL_ERROR("File " << name << " is not a raw picture: byte " << static_cast<int>(bytes[i])
                                << " at offset " << i << " is not a colour index 0..15");
        pixels[i] = kRawRemap[bytes[i]];
    }
    return pixels;
}

std::vector<uint8_t> load_raw_picture(const std::string& file, int width, int height) {
    int32_t length = 0;
    char* data = DataFile::load(file.c_str(), "rb", &length, false, false);
    if (!data) FATAL_ERROR("Failed to load file " << file);
    std::vector<uint8_t> bytes(data, data + length);
    std::free(data);
    return parse_raw_picture(file, bytes.data(), bytes.size(), width, height);
}

RawLoader::RawLoader(AsciiScreen* screen, const std::string& file, int width, int height)
    : RawLoader(screen, width, height, load_raw_picture(file, width, height)) {}

RawLoader::RawLoader(AsciiScreen* screen, int width, int height, std::vector<uint8_t> pixels)
    : screen_(screen), width_(width), height_(height), pixels_(std::move(pixels)) {
    FATAL_ASSERT(pixels_.size() == static_cast<size_t>(width_) * static_cast<size_t>(height_));
}

// Screen rows i with 0 <= i < 50 and 0 <= i + offset < height, computed
// wide so that no offset overflows.
RawLoader::Range RawLoader::rows(int row_offset) const {
    const int64_t first = std::max<int64_t>(0, -static_cast<int64_t>(row_offset));
    const int64_t end = std::min<int64_t>(AsciiScreen::kRows, static_cast<int64_t>(height_) - row_offset);
    return {static_cast<int>(std::min<int64_t>(first, AsciiScreen::kRows)),
            static_cast<int>(std::max<int64_t>(end, 0))};
}

RawLoader::Range RawLoader::cols(int col_offset) const {
    const int64_t first = std::max<int64_t>(0, -static_cast<int64_t>(col_offset));
    const int64_t end = std::min<int64_t>(AsciiScreen::kCols, static_cast<int64_t>(width_) - col_offset);
    return {static_cast<int>(std::min<int64_t>(first, AsciiScreen::kCols)),
            static_cast<int>(std::max<int64_t>(end, 0))};
}

void RawLoader::draw(uint8_t ch, int transparent, int col_offset, int row_offset) {
    const Range r = rows(row_offset), c = cols(col_offset);
    for (int i = r.first; i < r.end; ++i)
        for (int j = c.first; j < c.end; ++j) {
            const uint8_t p = pixel(i + row_offset, j + col_offset);
            if (p != transparent) screen_->put_char(i, j, ch, p, 0);
        }
}

namespace {

// half + (int)offset when that lies in 0..size-1; the cast is made only on
// values that fit (a huge scale or a NaN angle gives none).
bool picture_index(double offset, int half, int size, int* index) {
    if (!(std::fabs(offset) < 2.0 * size + 2.0)) return false;
    const int i = half + static_cast<int>(offset);
    if (i < 0 || i >= size) return false;
    *index = i;
    return true;
}

}  // namespace

void RawLoader::draw_rotated(uint8_t ch, int transparent, int col_offset, int row_offset, double angle,
                             double scale_x, double scale_y) {
    const int hw = width_ / 2, hh = height_ / 2;
    const double c = std::cos(angle), s = std::sin(angle);
    const Range r = rows(row_offset), cl = cols(col_offset);
    for (int i = r.first; i < r.end; ++i)
        for (int j = cl.first; j < cl.end; ++j) {
            const double u = j - hw, v = i - hh;
            int x = 0, y = 0;
            if (!picture_index((u * c + v * s) * scale_x, hw, width_, &x)) continue;
            if (!picture_index((v * c - u * s) * scale_y, hh, height_, &y)) continue;
            const uint8_t p = pixel(y, x);
            if (p != transparent) screen_->put_char(i, j, ch, p, 0);
        }
}
