#include "util/math/saturate.h"

#include <cmath>

int32_t saturate_int(double value) {
    // Compared before converting, and written so that NaN fails both tests.
    if (!(value > static_cast<double>(INT32_MIN))) return std::isnan(value) ? 0 : INT32_MIN;
    if (!(value < static_cast<double>(INT32_MAX))) return INT32_MAX;
    return static_cast<int32_t>(value);
}

int32_t saturate_floor(double value) { return saturate_int(std::floor(value)); }

int32_t saturate_ceil(double value) { return saturate_int(std::ceil(value)); }

int saturate_index(double value, size_t count) {
    if (!(value > -1.0)) return -1;  // also NaN
    if (!(value < static_cast<double>(count)) || !(value < static_cast<double>(INT32_MAX))) return -1;
    return static_cast<int>(value);
}
