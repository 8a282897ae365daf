// The low-frequency oscillator: a sine from 0 to 1 or a saw from 0 to the
// rate, restarted by each press and silent while the key is not held. Its
// rate (one cycle, in beats) may follow a MIDI controller through the
// controller table.
#pragma once

#include "util/music/modulators/modulator.h"

class LFO : public Modulator {
public:
    enum Wave : int32_t { Sine = 0, Saw = 1 };

    // The rate is the note value numerator / denominator (a triplet when
    // `triplet`); `controller` is the MIDI controller that selects the rate,
    // -1 for none.
    LFO(int32_t wave, int32_t controller, int32_t numerator, int32_t denominator, bool triplet);

    float value(float bpm, float beat, float last_off, float last_on) override;

    int32_t wave;
};
