#include "effects/postproc/vhs.h"

#include "effects/postproc/pass_info.h"
#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

VHS::VHS(const PassInfo& row)
    : PostProc(row),
      band_shader(std::make_unique<ShaderProgram>(pass_shader_path(row, ".vert"), pass_shader_path(row, "_band.frag"))) {}

VHS::~VHS() = default;

void VHS::render(int, int, float) {
    ShaderProgram& program = params[2] > 0.0f ? *band_shader : *shader;
    bind_with_projection(program);
    program.set_uniform1f("Alpha", params[0]);
    program.set_uniform1f("iTime", params[1]);
    program.set_uniform1f("BandOn", params[2]);
}

}  // namespace Effects
