#include "effects/postproc/vhs.h"

#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

VHS::VHS() {
    name = "VHS";
    add_param("Alpha", 0.5f);
    add_param("Time", 0.0f);
    add_param("BandOn", 0.0f);
    shader = new ShaderProgram("data/effects/postproc/vhs/vhs.vert",
                               "data/effects/postproc/vhs/vhs.frag");
}

void VHS::render(int, int, float) {
    bind_with_projection();
    shader->set_uniform1f("Alpha", params[0]);
    shader->set_uniform1f("iTime", params[1]);
    shader->set_uniform1f("BandOn", params[2]);
}

}  // namespace Effects
