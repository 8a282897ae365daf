#include "util/texture/image.h"

#include <algorithm>
#include <cstdlib>

int32_t Image::max_side = 16384;

Image::Image(int32_t channels_) : channels(channels_) {}

void Image::alloc_pixels(int32_t ch) {
    if (width <= 0 || height <= 0) return;
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (ch == 3) colour.assign(pixels * 3, 0);
    else if (ch == 1) grey.assign(pixels, 0);
}

void Image::free_pixels(int32_t ch) {
    if (ch == 3) std::vector<int32_t>().swap(colour);
    else if (ch == 1) std::vector<int32_t>().swap(grey);
}

void Image::resize(int32_t w, int32_t h) {
    free_pixels(channels);
    width = w;
    height = h;
    alloc_pixels(channels);
}

namespace {

// The grey value's bounds, as the grey form has always computed them.
int32_t max3(int32_t a, int32_t b, int32_t c) { return a <= b ? b : std::max(a, c); }
int32_t min3(int32_t a, int32_t b, int32_t c) { return a >= b ? b : std::min(a, c); }

}  // namespace

void Image::set_pixel(int32_t row, int32_t col, int32_t first, int32_t second, int32_t third) {
    if (row < 0 || row >= height || col < 0 || col >= width) return;
    const size_t index = static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(col);
    if (channels == 3 && !colour.empty()) {
        int32_t* p = &colour[index * 3];
        p[0] = first;
        p[1] = second;
        p[2] = third;
    } else if (channels == 1 && !grey.empty()) {
        const int64_t hi = max3(first, third, second);
        const int64_t lo = min3(first, third, second);
        grey[index] = static_cast<int32_t>((hi + lo) / 2);
    }
}

const int32_t* Image::colour_pixel(int32_t row, int32_t col) const {
    return &colour[(static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(col)) * 3];
}

int32_t Image::grey_pixel(int32_t row, int32_t col) const {
    return grey[static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(col)];
}

uint8_t* Image::to_rgba() const {
    if (width <= 0 || height <= 0 || colour.empty()) return nullptr;
    const size_t w = static_cast<size_t>(width);
    uint8_t* out = static_cast<uint8_t*>(std::malloc(w * static_cast<size_t>(height) * 4));
    if (!out) return nullptr;
    uint8_t* o = out;
    for (int32_t row = height - 1; row >= 0; --row) {
        const int32_t* p = &colour[static_cast<size_t>(row) * w * 3];
        for (size_t col = 0; col < w; ++col, p += 3, o += 4) {
            o[0] = static_cast<uint8_t>(p[0]);  // red
            o[1] = static_cast<uint8_t>(p[2]);  // green
            o[2] = static_cast<uint8_t>(p[1]);  // blue
            o[3] = 255;
        }
    }
    return out;
}
