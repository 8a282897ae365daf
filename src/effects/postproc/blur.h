// Blur pass: averages rings of taps around each pixel, "Scale" apart
// (in thousandths of the picture), over "Iterations" rings.
#pragma once

#include "effects/effect.h"

namespace Effects {

class Blur : public PostProc {
public:
    Blur();
    void render(int width, int height, float time) override;
};

}  // namespace Effects
