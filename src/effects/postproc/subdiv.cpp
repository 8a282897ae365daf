#include "effects/postproc/subdiv.h"

#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

Subdiv::Subdiv() {
    name = "Subdiv";
    add_param("NX", 2.0f);
    add_param("NY", 2.0f);
    add_param("OffX", 0.0f);
    add_param("OffY", 0.0f);
    add_param("Rot", 0.0f);
    add_param("RotX", 0.5f);
    add_param("RotY", 0.5f);
    shader = new ShaderProgram("data/effects/postproc/subdiv/subdiv.vert",
                               "data/effects/postproc/subdiv/subdiv.frag");
}

void Subdiv::render(int, int, float) {
    bind_with_projection();
    shader->set_uniform2f("N", params[0], params[1]);
    shader->set_uniform2f("Off", params[2], params[3]);
    shader->set_uniform1f("Rot", params[4]);
    shader->set_uniform2f("RotOff", params[5], params[6]);
}

}  // namespace Effects
