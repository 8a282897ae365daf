#include "util/music/modulators/lfo.h"

#include <cmath>

#include "system/fatal.h"

LFO::LFO(int32_t wave_, int32_t controller, int32_t numerator, int32_t denominator, bool triplet) : wave(wave_) {
    type = TypeLFO;
    cc = controller;
    rate = note_value_rate(numerator, denominator, triplet);
}

float LFO::value(float, float beat, float last_off, float last_on) {
    if (!(last_on > last_off)) return 0.0f;
    const float t = beat - last_on;
    switch (wave) {
        case Sine: {
            // A rate of 0 (a zero denominator, or such a band) has no cycle.
            if (rate == 0.0f) return 0.0f;
            const float phase = 6.2831855f * t / rate + -1.5707964f;
            return static_cast<float>(0.5 + 0.5 * std::sin(static_cast<double>(phase)));
        }
        case Saw:
            if (rate == 0.0f) return 0.0f;
            return static_cast<float>(std::fmod(static_cast<double>(t), static_cast<double>(rate)));
    }
    FATAL_ERROR("Unsupported wave type: " << wave);
}
