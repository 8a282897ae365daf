// Subdivision pass: repeats the picture "NX" x "NY" times, shifted by
// ("OffX", "OffY") and turned by "Rot" about ("RotX", "RotY").
#pragma once

#include "effects/effect.h"

namespace Effects {

class Subdiv : public PostProc {
public:
    explicit Subdiv(const PassInfo& row);
    void render(int width, int height, float time) override;
    // What drawing the whole picture reads (source_area_for).
    ViewportRect source_area(int width, int height) const override;
    // On each axis where the drawn part, turned, tiled and shifted, stays
    // within one tile (0..1, unwrapped), the span it reads; the whole axis
    // where it wraps.
    ViewportRect source_area_for(const ViewportRect& drawn, int width, int height) const override;
};

}  // namespace Effects
