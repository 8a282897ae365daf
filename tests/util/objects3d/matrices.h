// Matrices the 3D toolkit tests place things with.
#pragma once

#include "util/math/mat4.h"

namespace objects3d_test {

inline mat4 translation(float x, float y, float z) {
    mat4 m;
    m.translate(x, y, z);
    return m;
}

}  // namespace objects3d_test
