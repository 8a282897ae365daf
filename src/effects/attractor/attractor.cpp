#include "effects/attractor/attractor.h"

#include "effects/attractor/fullscreen_quad.h"
#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

Attractor::Attractor()
    : attractorshader(std::make_unique<ShaderProgram>("data/effects/attractor/attractor.vert",
                                                      "data/effects/attractor/attractor.frag")) {}

Attractor::~Attractor() = default;

void Attractor::draw(float time) {
    begin_fullscreen_effect(colour, time);
    attractorshader->bind();
    attractorshader->set_uniform1f("time", time);
    attractorshader->set_uniform1f("intensity", intensity);
    draw_fullscreen_quad();
}

}  // namespace Effects
