#include "effects/postproc/radblur.h"

#include <GL/glew.h>

#include <cmath>

#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

Radblur::Radblur(const PassInfo& row) : PostProc(row), taps(row) {}

int Radblur::gather_divisor(float strength) {
    // A negative strength mixes the smear in as much, the other way.
    return std::fabs(strength) <= kQuarterSizeStrength ? 4 : 2;
}

bool Radblur::changes_picture() const { return params[3] != 0.0f && params[2] < 1.0f; }

void Radblur::update(int width, int height, float, FBO* source) {
    if (!changes_picture()) return;
    // (CntrX, CntrY, Step, Strength) as one vector.
    taps.bind().set_uniform4fv("RadialBlurParams", params.data(), 1);
    taps.draw(source, width, height, gather_divisor(params[3]));
}

void Radblur::render(int, int, float) {
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    bind_with_projection();
    shader->set_uniform4fv("RadialBlurParams", params.data(), 1);
    shader->set_uniform1i("Gathered", 1);
    taps.bind_result(1);
}

}  // namespace Effects
