// The program's random generator: the classic linear congruential sequence
// with values 0..32767 (after seeding with 1: 41, 18467, 6334, ...). Every
// place that draws a random number uses it; the C library's rand() has a
// different range and is never called.
#pragma once

#include <cstdint>

constexpr int RANDOM_MAX = 32767;

void random_seed(uint32_t seed);
int random_next();
