// The travelling blocks without GL: where a block is along z and what angle
// it carries at a time, where it reappears, and its four vertices in the
// streamed buffer.
#pragma once

#include "util/math/vector.h"

namespace Effects {

struct ZeldaBlock {
    vec3 position;
    float angle = 0.0f;
    float speed = 0.0f;  // travel cycles per unit of time
    float spin = 0.0f;   // drives the angle
};

// The box the blocks live in, their start plane at min.z.
struct ZeldaBox {
    vec3 min, max;
    float length = 1.0f;  // z covered in one travel cycle
    bool disc = false;    // reappear in a disc around the box's centre, not the rectangle
    float radius = 1.0f;
};

// min_z + (s - trunc(s)) x length with s = time x speed, computed as
// (s x length + min_z) - trunc(s) x length.
float zelda_block_z(float time, float speed, float min_z, float length);

// sin(q) / q + q with q = time x spin; 1 (the limit) at q = 0.
float zelda_block_angle(float time, float spin);

// A random x, y on the start plane (z = min.z), from the program's
// generator: inside the disc of |radius| around the box's centre, or
// anywhere in the rectangle. A disc whose edge is not a finite number gives
// its centre.
vec3 zelda_respawn_position(const ZeldaBox& box);

// Floats per block in the streamed buffer: 4 positions, then (after every
// block's positions) 4 texture coordinates.
constexpr int kZeldaPositionFloats = 12;
constexpr int kZeldaTexcoordFloats = 8;

// Block i's four vertices into `buffer` (count blocks): the centre four
// times at 12 i, and at 12 count + 8 i the coordinates
// (sin a/2 + 1/2, 0), (cos a/2 + 1/2, 0), (cos a/2 + 1/2, 1), (sin a/2 + 1/2, 1).
void write_zelda_block(const ZeldaBlock& block, int i, int count, float* buffer);

}  // namespace Effects
