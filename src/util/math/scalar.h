// Scalar arithmetic that scenes and effects share: rounding, angles,
// interpolation, easing and random numbers.
#pragma once

constexpr float kPi = 3.14159265358979323846f;

// x rounded to n decimals, halves upward: floor(x * 10^n + 0.5) / 10^n.
float round_decimals(float x, int n);

float rad_to_deg(float x);

// (1 - t) * a + b * t.
float lerp(float a, float b, float t);

// A smooth step from 0 at x = 0 to 1 at x = 1, flat at both ends.
float ease(float x);

// A random value from min to max, both included, drawn from the program's
// generator (util/math/random.h).
float random_range(float min, float max);
