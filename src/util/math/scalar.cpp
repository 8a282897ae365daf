#include "util/math/scalar.h"

#include <cmath>

#include "util/math/random.h"

float round_decimals(float x, int n) {
    double factor = std::pow(10.0, n);
    float rounded = static_cast<float>(std::floor(x * factor + 0.5));
    return rounded / static_cast<float>(factor);
}

float rad_to_deg(float x) { return x / 0.017453292f; }

float lerp(float a, float b, float t) { return (1.0f - t) * a + b * t; }

float ease(float x) { return std::sin(x * 3.1415927f - 1.5707964f) * 0.5f + 0.5f; }

float random_range(float min, float max) {
    return static_cast<float>(random_next()) / static_cast<float>(RANDOM_MAX) * (max - min) + min;
}
