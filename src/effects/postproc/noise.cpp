#include "effects/postproc/noise.h"

#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

Noise::Noise(const PassInfo& row) : PostProc(row) {}

void Noise::render(int, int, float) {
    bind_with_projection();
    shader->set_uniform1f("Alpha", params[0]);
    // The pattern moves with the parameter, not with the music.
    shader->set_uniform1f("Time", params[1]);
}

}  // namespace Effects
