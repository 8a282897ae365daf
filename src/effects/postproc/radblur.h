// Radial blur pass: smears the picture toward the centre ("CntrX",
// "CntrY"), each tap "Step" closer, mixed in by "Strength".
#pragma once

#include "effects/effect.h"

namespace Effects {

class Radblur : public PostProc {
public:
    Radblur();
    void render(int width, int height, float time) override;
};

}  // namespace Effects
