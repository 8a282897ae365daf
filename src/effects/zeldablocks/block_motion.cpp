#include "effects/zeldablocks/block_motion.h"

#include <cmath>
#include <initializer_list>

#include "util/math/scalar.h"

namespace Effects {

float zelda_block_z(float time, float speed, float min_z, float length) {
    const float s = time * speed;
    return (s * length + min_z) - std::trunc(s) * length;
}

float zelda_block_angle(float time, float spin) {
    const float q = time * spin;
    if (q == 0.0f) return 1.0f;
    return std::sin(q) / q + q;
}

vec3 zelda_respawn_position(const ZeldaBox& box) {
    if (!box.disc) return vec3(random_range(box.min.x, box.max.x), random_range(box.min.y, box.max.y), box.min.z);
    const float mx = (box.min.x + box.max.x) * 0.5f;
    const float my = (box.min.y + box.max.y) * 0.5f;
    // A negative radius would never be met; a disc whose edge is not a
    // finite number never gives a point that passes.
    const float r = std::fabs(box.radius);
    for (float edge : {mx - r, mx + r, my - r, my + r})
        if (!std::isfinite(edge)) return vec3(mx, my, box.min.z);
    for (;;) {
        const float x = random_range(mx - r, mx + r);
        const float y = random_range(my - r, my + r);
        if (std::hypot(x - mx, y - my) <= r) return vec3(x, y, box.min.z);
    }
}

void write_zelda_block(const ZeldaBlock& block, int i, int count, float* buffer) {
    float* p = buffer + kZeldaPositionFloats * i;
    for (int v = 0; v < 4; ++v) {
        p[v * 3] = block.position.x;
        p[v * 3 + 1] = block.position.y;
        p[v * 3 + 2] = block.position.z;
    }
    const float s = std::sin(block.angle) * 0.5f + 0.5f;
    const float c = std::cos(block.angle) * 0.5f + 0.5f;
    float* t = buffer + kZeldaPositionFloats * count + kZeldaTexcoordFloats * i;
    const float coords[8] = {s, 0.0f, c, 0.0f, c, 1.0f, s, 1.0f};
    for (int k = 0; k < 8; ++k) t[k] = coords[k];
}

}  // namespace Effects
