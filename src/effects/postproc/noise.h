// Noise pass: static of strength "Alpha", moving with the parameter "Time".
#pragma once

#include "effects/effect.h"

namespace Effects {

class Noise : public PostProc {
public:
    explicit Noise(const PassInfo& row);
    void render(int width, int height, float time) override;
};

}  // namespace Effects
