#include "effects/postproc/vhs.h"

#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

VHS::VHS(const PassInfo& row) : PostProc(row) {}

void VHS::render(int, int, float) {
    bind_with_projection();
    shader->set_uniform1f("Alpha", params[0]);
    shader->set_uniform1f("iTime", params[1]);
    shader->set_uniform1f("BandOn", params[2]);
}

}  // namespace Effects
