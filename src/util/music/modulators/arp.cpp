#include "util/music/modulators/arp.h"

#include <cmath>

#include "system/fatal.h"

Arp::Arp(int32_t pattern_, int32_t octaves_, int32_t numerator, int32_t denominator, bool triplet)
    : pattern(pattern_), octaves(octaves_) {
    type = TypeArp;
    rate = note_value_rate(numerator, denominator, triplet);
}

float Arp::value(float, float, float last_off, float last_on) {
    return last_on > last_off ? 1.0f : 0.0f;
}

uint32_t Arp::note_index(float, float beat, float start, uint32_t count) {
    if (count <= 1) return 0;
    if (pattern != UpDown) FATAL_ERROR("Unhandled arp pattern " << pattern << "!\n");
    const uint32_t period = 2 * count - 2;
    // A rate of 0 (or a negative one) gives no whole number of steps: the
    // first key sounds. A count beyond 32 bits wraps.
    const float steps = (beat - start) / rate;
    uint32_t step = 0;
    if (std::isfinite(steps) && steps >= 4294967296.0f)
        step = static_cast<uint32_t>(std::fmod(static_cast<double>(steps), 4294967296.0));
    else if (std::isfinite(steps) && steps >= 0.0f)
        step = static_cast<uint32_t>(steps);
    uint32_t k = step % period;
    if (k >= count) k = 2 * count - 2 - k;
    return k;
}
