// The arpeggiator: of a track's held keys only one sounds at a time,
// stepping through them up and down, one step every `rate` beats. Its value
// only says whether the key is held; the note-intensity query picks the one
// key with note_index.
#pragma once

#include "util/music/modulators/modulator.h"

class Arp : public Modulator {
public:
    enum Pattern : int32_t { UpDown = 0, Up = 1, Down = 2 };

    Arp(int32_t pattern, int32_t octaves, int32_t numerator, int32_t denominator, bool triplet);

    float value(float bpm, float beat, float last_off, float last_on) override;

    // Which of `count` held keys sounds at `beat`, the steps counted from
    // `start` (the track's latest press or release).
    uint32_t note_index(float bpm, float beat, float start, uint32_t count);

    int32_t pattern;
    int32_t octaves;
};
