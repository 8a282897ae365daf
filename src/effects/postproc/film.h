// Film pass: colour amount, monochrome, three sepia tints, contrast,
// brightness, grain and scanlines.
#pragma once

#include "effects/effect.h"

namespace Effects {

class Film : public PostProc {
public:
    // The parameters, in the order of the pass's row (passes.cpp); each
    // reaches the shader as the uniform named by its word.
    enum Param {
        Color,
        Monochrome,
        BrownSepia,
        GreenSepia,
        BlueSepia,
        Contrast,
        Brightness,
        FilmgrainAmount,
        ScanlineAmount,
    };

    explicit Film(const PassInfo& row);
    void render(int width, int height, float time) override;
};

}  // namespace Effects
