#include "util/music/modulators/modulator.h"

#include "system/fatal.h"

void ModulatorRanges::add(uint8_t row_min, uint8_t row_max, float row_rate) {
    min.push_back(row_min);
    max.push_back(row_max);
    rate.push_back(row_rate);
}

float note_value_rate(int32_t numerator, int32_t denominator, bool triplet) {
    if (denominator == 0) return 0.0f;
    float rate = static_cast<float>(numerator) * 4.0f / static_cast<float>(denominator);
    if (triplet) rate *= 0.6666667f;
    return rate;
}

float Modulator::value(float, float, float, float) { return 1.0f; }

void Modulator::add_range(uint8_t min, uint8_t max, int32_t numerator, int32_t denominator, bool triplet) {
    ranges.add(min, max, note_value_rate(numerator, denominator, triplet));
}

void Modulator::set_cc_value(int32_t value) {
    if (value < 0 || value > 127) FATAL_ERROR("Value out of bounds: " << value);
    rate = lookup_range(static_cast<uint8_t>(value));
}

// A band holds both its bounds, so the lowest value of every band (0
// included) selects that band.
float Modulator::lookup_range(uint8_t value) const {
    for (size_t i = 0; i < ranges.size(); ++i)
        if (ranges.min[i] <= value && value <= ranges.max[i]) return ranges.rate[i];
    return rate;
}
