#include "effects/effect.h"

#include "effects/postproc/pass_info.h"
#include "system/fatal.h"
#include "util/math/mat4.h"
#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

void Effect::render(float) {
    FATAL_ERROR("Virtual render called?");
}

PostProc::PostProc() = default;

PostProc::~PostProc() = default;

PostProc::PostProc(const PassInfo& row) : name(row.name) {
    for (const PassParam& param : row.params) add_param(param.word, param.value);
    shader = std::make_unique<ShaderProgram>(pass_shader_path(row, ".vert"), pass_shader_path(row, ".frag"));
}

void PostProc::update(int, int, float, FBO*) {}

bool PostProc::changes_picture() const { return true; }

ViewportRect PostProc::source_area(int width, int height) const { return {0, 0, width, height}; }

ViewportRect PostProc::source_area_for(const ViewportRect&, int width, int height) const {
    return source_area(width, height);
}

void PostProc::render(int, int, float) {
    FATAL_ERROR("Well this shouldn't happen...");
}

void PostProc::set_param(int index, float value) {
    if (index < 0 || index >= static_cast<int>(params.size()))
        FATAL_ERROR("WARNING: Param index " << index << " for effect " << name
                                            << " is out of bounds\n");
    params[index] = value;
}

float PostProc::get_param(int index) const {
    if (index < 0 || index >= static_cast<int>(params.size())) return 0.0f;
    return params[index];
}

void PostProc::add_param(const std::string& word, float default_value) {
    param_names.push_back(name + word);
    params.push_back(default_value);
}

void PostProc::bind_with_projection() { bind_with_projection(*shader); }

void PostProc::bind_with_projection(ShaderProgram& program) {
    static const mat4 projection(mat4::PRESET_UNIT_SQUARE);
    program.bind();
    program.set_uniform_matrix4fv("ProjectionMatrix", projection.data(), 1, false);
}

}  // namespace Effects
