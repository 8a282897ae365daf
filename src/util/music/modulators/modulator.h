// Modulators shape how strongly a key of a note track sounds over time. A
// track's modulators are applied in turn to each of its keys; each gives a
// factor from the beat and from the times of the key's last press and
// release. All times are in beats.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A controller table: one row per band of controller values, each with the
// rate (beats) that the band selects. The three arrays have equal length.
struct ModulatorRanges {
    std::vector<uint8_t> min;
    std::vector<uint8_t> max;
    std::vector<float> rate;

    void add(uint8_t row_min, uint8_t row_max, float row_rate);
    size_t size() const { return rate.size(); }
};

// The length in beats of a note value: numerator × 4 / denominator, two
// thirds of that for a triplet, 0 for a denominator of 0.
float note_value_rate(int32_t numerator, int32_t denominator, bool triplet);

class Modulator {
public:
    enum Type : int32_t { TypeADSR = 0, TypeLFO = 1, TypeArp = 2 };

    virtual ~Modulator() = default;

    // The factor at `beat` for a key last pressed at `last_on` and last
    // released at `last_off` (-1 when never); held while last_on > last_off.
    virtual float value(float bpm, float beat, float last_off, float last_on);

    int32_t get_type() const { return type; }
    int32_t get_cc() const { return cc; }
    void set_intensity(float value) { intensity = value; }

    void add_range(uint8_t min, uint8_t max, int32_t numerator, int32_t denominator, bool triplet);
    // Sets the rate from the band of a controller value (0..127; anything
    // else ends the run).
    void set_cc_value(int32_t value);
    // The rate of the first band that holds the value (min <= value <= max,
    // in the order the bands were added); the current rate when none does.
    float lookup_range(uint8_t value) const;

    int32_t cc = -1;
    int32_t type = TypeADSR;
    float intensity = 1.0f;
    float rate = 0.0f;
    ModulatorRanges ranges;
};
