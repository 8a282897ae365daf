// What the full-screen shader effects share: the state a quad over the
// bound target is drawn with, and the quad itself.
#pragma once

#include "util/math/vector.h"

namespace Effects {

// Blending (source alpha, one minus source alpha), the current colour,
// texturing, depth test and lighting off, colour material on, and the
// program's generator reseeded with the 32 bits of `time` (so two draws at
// one time leave it in the same state).
void begin_fullscreen_effect(const vec4& colour, float time);

// The unit quad (0, 0)..(1, 1) under gluOrtho2D(0, 1, 0, 1), with the
// modelview and projection matrices saved and put back (modelview mode
// current afterwards).
void draw_fullscreen_quad();

// The bits of a float, as the generator's seed.
unsigned seed_of_time(float time);

}  // namespace Effects
