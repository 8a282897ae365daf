// The attack-decay-sustain-release envelope: rises over the attack, falls to
// the sustain level over the decay, holds it while the key is held and falls
// to 0 over the release. Each stage has one of three curve shapes.
#pragma once

#include "util/music/modulators/modulator.h"

class ADSR : public Modulator {
public:
    enum Slope : int32_t { Linear = 0, Exp = 1, ExpInv = 2 };

    // Lengths in beats, sustain as a level from 0 to 1.
    ADSR(float attack, int32_t attack_slope, float decay, int32_t decay_slope, float sustain, float release,
         int32_t release_slope);

    float value(float bpm, float beat, float last_off, float last_on) override;

    // The curves over a stage of length l at elapsed time x: rising from 0
    // to 1, falling from 1 to 0.
    float rise_linear(float x, float l) const;
    float rise_exp(float x, float l) const;
    float rise_exp_inv(float x, float l) const;
    float fall_linear(float x, float l) const;
    float fall_exp(float x, float l) const;
    float fall_exp_inv(float x, float l) const;

    float attack;
    int32_t attack_slope;
    float decay;
    int32_t decay_slope;
    float sustain;
    float release;
    int32_t release_slope;
    float base = 250.0f;

private:
    float rise(int32_t slope, float x, float l) const;
    float fall(int32_t slope, float x, float l) const;
};
