// A full-screen shader effect: one blended quad over the bound target drawn
// through "data/effects/attractor/attractor.vert" and ".frag", which paint
// a drifting strange-attractor glow from "time" and "intensity".
#pragma once

#include <memory>

#include "effects/effect.h"
#include "util/math/vector.h"

class ShaderProgram;

namespace Effects {

class Attractor : public Effect {
public:
    Attractor();
    ~Attractor() override;

    void render(float time) override { draw(time); }
    void draw(float time);

    vec4 colour = vec4(1.0f, 1.0f, 1.0f, 1.0f);
    float intensity = 1.0f;

private:
    std::unique_ptr<ShaderProgram> attractorshader;
};

}  // namespace Effects
