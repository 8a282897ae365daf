#include "effects/postproc/subdiv.h"

#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

Subdiv::Subdiv(const PassInfo& row) : PostProc(row) {}

void Subdiv::render(int, int, float) {
    bind_with_projection();
    shader->set_uniform2f("N", params[0], params[1]);
    shader->set_uniform2f("Off", params[2], params[3]);
    shader->set_uniform1f("Rot", params[4]);
    shader->set_uniform2f("RotOff", params[5], params[6]);
}

}  // namespace Effects
