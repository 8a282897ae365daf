// Track values becoming integers. A sync track's value comes from a track
// file or from the editor, so it can be NaN, infinite or far beyond any
// integer; converting such a float to an integer type is undefined behaviour
// in C++. Every place that turns a track value (or anything computed from one,
// such as a row from the "bpm" track) into an integer goes through these.
#pragma once

#include <cstddef>
#include <cstdint>

// `value` truncated toward zero, clamped to the 32-bit range; NaN gives 0.
int32_t saturate_int(double value);
// `value` floored (or raised to the next integer) first, then as above.
int32_t saturate_floor(double value);
int32_t saturate_ceil(double value);

// The index in [0, count) that `value` names when truncated toward zero
// (-0.5 names 0), or -1 when it names none: negative, too large, NaN or
// infinite. For scene indices and the like, where NaN means "none".
int saturate_index(double value, size_t count);
