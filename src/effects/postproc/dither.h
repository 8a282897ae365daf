// Dither pass: reduces the picture to blocks and dithers their colours;
// "Factor" 0 keeps one block per pixel, 1 gives the coarsest blocks.
#pragma once

#include "effects/effect.h"

namespace Effects {

class Dither : public PostProc {
public:
    explicit Dither(const PassInfo& row);
    void render(int width, int height, float time) override;
};

}  // namespace Effects
