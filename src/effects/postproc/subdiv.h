// Subdivision pass: repeats the picture "NX" x "NY" times, shifted by
// ("OffX", "OffY") and turned by "Rot" about ("RotX", "RotY").
#pragma once

#include "effects/effect.h"

namespace Effects {

class Subdiv : public PostProc {
public:
    explicit Subdiv(const PassInfo& row);
    void render(int width, int height, float time) override;
    // Unturned, with no tile crossing the picture's edge (the tiles within
    // 0..1 on both axes), the one tile's rectangle; else the whole picture.
    ViewportRect source_area(int width, int height) const override;
};

}  // namespace Effects
