// Film pass: colour amount, monochrome, three sepia tints, contrast,
// brightness, grain and scanlines.
#pragma once

#include "effects/effect.h"

namespace Effects {

class Film : public PostProc {
public:
    explicit Film(const PassInfo& row);
    void render(int width, int height, float time) override;
};

}  // namespace Effects
