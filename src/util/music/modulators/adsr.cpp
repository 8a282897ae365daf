#include "util/music/modulators/adsr.h"

#include <algorithm>
#include <cmath>

#include "system/fatal.h"

ADSR::ADSR(float attack_, int32_t attack_slope_, float decay_, int32_t decay_slope_, float sustain_,
           float release_, int32_t release_slope_)
    : attack(attack_),
      attack_slope(attack_slope_),
      decay(decay_),
      decay_slope(decay_slope_),
      sustain(sustain_),
      release(release_),
      release_slope(release_slope_) {
    type = TypeADSR;
}

namespace {

// (B^e - 1) / (B - 1), the power taken in double precision.
float scaled_power(float base, float exponent) {
    return static_cast<float>((std::pow(static_cast<double>(base), static_cast<double>(exponent)) - 1.0) /
                              (static_cast<double>(base) - 1.0));
}

}  // namespace

float ADSR::rise_linear(float x, float l) const { return x / l; }
float ADSR::rise_exp(float x, float l) const { return scaled_power(base, x / l); }
float ADSR::rise_exp_inv(float x, float l) const { return 1.0f - scaled_power(base, (l - x) / l); }
float ADSR::fall_linear(float x, float l) const { return 1.0f - x / l; }
float ADSR::fall_exp(float x, float l) const { return scaled_power(base, (l - x) / l); }
float ADSR::fall_exp_inv(float x, float l) const { return 1.0f - scaled_power(base, x / l); }

float ADSR::rise(int32_t slope, float x, float l) const {
    switch (slope) {
        case Linear: return rise_linear(x, l);
        case Exp: return rise_exp(x, l);
        case ExpInv: return rise_exp_inv(x, l);
    }
    FATAL_ERROR("Unrecognized slope type " << slope);
}

float ADSR::fall(int32_t slope, float x, float l) const {
    switch (slope) {
        case Linear: return fall_linear(x, l);
        case Exp: return fall_exp(x, l);
        case ExpInv: return fall_exp_inv(x, l);
    }
    FATAL_ERROR("Unrecognized slope type " << slope);
}

float ADSR::value(float, float beat, float last_off, float last_on) {
    if (last_on < 0.0f) return 0.0f;
    const float t = beat - last_on;
    if (t < attack) return rise(attack_slope, t, attack);
    if (t < attack + decay) return fall(decay_slope, t - attack, decay) * (1.0f - sustain) + sustain;
    if (last_on > last_off) return sustain;
    if (release <= 0.0f) return 0.0f;
    // A key released during its attack or decay finishes both first.
    const float start = last_on + std::max(attack + decay, last_off - last_on);
    const float tr = beat - start;
    if (tr >= release) return 0.0f;
    return fall(release_slope, tr, release) * sustain;
}
