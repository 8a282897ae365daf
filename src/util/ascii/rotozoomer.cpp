#include "util/ascii/rotozoomer.h"

#include <cmath>

#include "util/ascii/effect_clock.h"
#include "util/ascii/raw_picture.h"

namespace {

EffectClock& rotozoomer_clock() {
    static EffectClock clock;
    return clock;
}

}  // namespace

std::array<int, 512> rotozoomer_table() {
    std::array<int, 512> table{};
    for (int i = 0; i < 256; ++i) {
        const float s = std::sin(static_cast<float>(i * 1.41176 * 0.0174532));
        table[i] = static_cast<int>((s + 0.8) * 4096);
        table[256 + i] = static_cast<int>(s * 2 * 4096);
    }
    return table;
}

Rotozoomer::Rotozoomer(AsciiScreen* screen, const std::string& file)
    : screen_(screen), table_(rotozoomer_table()) {
    load(file);
}

void Rotozoomer::load(const std::string& file) { picture_ = load_raw_picture(file, kSide, kSide); }

void Rotozoomer::draw(int dx, int dy, int scale) {
    scale *= 10;
    const int a = (dx * scale) >> 12;
    const int b = (dy * scale) >> 12;
    int u0 = 0, v0 = 0;
    for (int i = 0; i < AsciiScreen::kRows; ++i) {
        int u = u0, v = v0;
        for (int j = 0; j < AsciiScreen::kCols; ++j) {
            // The picture tiles endlessly: only the low 8 bits of each
            // integer part count.
            const uint8_t texel = picture_[((v >> 12) & 255) * kSide + ((u >> 12) & 255)];
            const int row = orientation_ & 1 ? AsciiScreen::kRows - 1 - i : i;
            const int col = orientation_ & 2 ? AsciiScreen::kCols - 1 - j : j;
            screen_->put_char(row, col, kBlock, texel, 0);
            u += a;
            v += b;
        }
        u0 -= b;
        v0 += a;
    }
}

void Rotozoomer::tick() {
    draw(table_[angle_], table_[(angle_ + 128) & 255], table_[256 + zoom_]);
    EffectClock& clock = rotozoomer_clock();
    const uint32_t now = clock.now();
    while (clock.lag(now) > 0) {
        clock.time += kStepMs;
        angle_ = (angle_ - 1) & 255;
        zoom_ = (zoom_ + 1) & 255;
    }
}

void Rotozoomer::reset_clock() { rotozoomer_clock() = EffectClock{}; }
