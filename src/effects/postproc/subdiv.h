// Subdivision pass: repeats the picture "NX" x "NY" times, shifted by
// ("OffX", "OffY") and turned by "Rot" about ("RotX", "RotY").
#pragma once

#include "effects/effect.h"

namespace Effects {

class Subdiv : public PostProc {
public:
    explicit Subdiv(const PassInfo& row);
    void render(int width, int height, float time) override;
};

}  // namespace Effects
