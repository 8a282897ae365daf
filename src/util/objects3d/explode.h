// The explode effect of a geometry object, free of GL: every triangle is
// pushed away from the centre of the object's bounding box, all three of
// its vertices by the same offset, so the triangles come apart whole.
#pragma once

#include <vector>

#include "util/math/vector.h"

// Positions come three floats a vertex; `indices` pick them, three entries a
// triangle. Writes three floats per entry into `flat` (sized to fit): the
// picked position moved by factor x (the triangle's first vertex - centre),
// where centre is the midpoint of the bounding box of all `positions`.
// Returns that centre.
vec3 explode_triangles(const std::vector<int>& indices, const std::vector<float>& positions, float factor,
                       std::vector<float>& flat);
