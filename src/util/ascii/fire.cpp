#include "util/ascii/fire.h"

#include <algorithm>

#include "platform/ticks.h"
#include "util/ascii/effect_clock.h"
#include "util/math/random.h"
#include "util/math/saturate.h"

namespace {

EffectClock& shared_clock() {
    static EffectClock clock;
    return clock;
}

// A random column of the bottom row.
int random_column() { return random_next() * (AsciiFire::kWidth - 1) / RANDOM_MAX; }

}  // namespace

AsciiFire::AsciiFire(AsciiScreen* screen)
    : screen_(screen),
      grid_a_(static_cast<size_t>(kWidth) * kHeight, 0),
      grid_b_(static_cast<size_t>(kWidth) * kHeight, 0),
      heat_(grid_a_.data()),
      next_(grid_b_.data()) {
    set_palette(0);
    random_seed(platform::tick_ms());
}

void AsciiFire::set_palette(int preset) {
    switch (preset) {
        case 0:
            colors_ = {0, 4, 12, 12, 12, 12, 12, 14, 14, 14, 14, 14, 14, 14, 14, 14,
                       15, 15, 15, 15, 15, 15, 15, 15, 15};
            break;
        case 1:
            colors_ = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 8, 3, 9, 5, 14, 11, 13, 9, 15};
            break;
        case 2:
            // Blue through cyan to white; of the 26 shades drawn up for it
            // the last white is the one that does not fit.
            colors_ = {0, 3, 1, 1, 1, 9, 9, 9, 11, 11, 11, 11, 11, 11, 11, 11,
                       11, 15, 15, 15, 15, 15, 15, 15, 15};
            break;
        default:
            break;
    }
}

void AsciiFire::set_decay(double decay, double target, double step) {
    decay_ = decay;
    decay_target_ = target;
    decay_step_ = step;
}

void AsciiFire::update(int ch) {
    // The clock holds the time of the next step.
    EffectClock& clock = shared_clock();
    const uint32_t now = clock.now();
    int steps = 0;
    while (clock.lag(now) >= 0) {
        if (++steps > kMaxStepsPerUpdate) {
            clock.time = now;  // the backlog after a stall is dropped
            break;
        }
        clock.time += kStepMs;
        step();
    }
    write_screen(ch);
}

void AsciiFire::step() {
    if ((decay_step_ > 0 && decay_ > decay_target_) || (decay_step_ <= 0 && decay_target_ > decay_))
        decay_ -= decay_step_;

    const uint8_t* s = heat_;
    uint8_t* d = next_;
    for (int y = 1; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            int sum = 0, count = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                const int ny = y + dy;
                if (ny >= kHeight) continue;
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx;
                    if ((dx == 0 && dy == 0) || nx < 0 || nx >= kWidth) continue;
                    sum += s[ny * kWidth + nx];
                    ++count;
                }
            }
            // Damping from the tracks can make the divisor zero or negative:
            // such a cell goes cold rather than dividing by zero, and a
            // quotient too large for an int saturates (its low byte 255).
            const double divisor = count + decay_;
            const uint8_t value = divisor > 0 ? static_cast<uint8_t>(saturate_int(sum / divisor)) : 0;
            d[(y - 1) * kWidth + x] = value;
        }
    }
    heat_ = next_;

    random_seed(static_cast<uint32_t>(static_cast<uint64_t>(platform::tick_ms()) * 247238u));
    uint8_t* bottom = heat_ + (kHeight - 1) * kWidth;
    for (int i = 0; i < kSpots; ++i) {
        for (int k = 0; k < 3; ++k) bottom[random_column()] = 0;
        bottom[random_column()] = 255;
    }
}

void AsciiFire::write_screen(int ch) {
    for (int j = 0; j < AsciiScreen::kRows; ++j) {
        for (int k = 0; k < AsciiScreen::kCols; ++k) {
            int sum = 0;
            for (int y = 2 * j; y < 2 * j + 2; ++y)
                for (int x = 3 * k; x < 3 * k + 3; ++x) sum += heat_[y * kWidth + x];
            const uint8_t v = fire_cell_value(sum);
            const int band = fire_band(v);
            if (band == 0) continue;
            const int c = ch == kHeatShaded ? v / 4 + 136 : ch;
            screen_->put_packed(j, k, static_cast<uint16_t>((c & 0xFF) | (colors_[band] << 8)));
        }
    }
}

void AsciiFire::reset_clock() { shared_clock() = EffectClock{}; }
