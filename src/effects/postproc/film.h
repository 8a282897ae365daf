// Film pass: colour amount, monochrome, three sepia tints, contrast,
// brightness, grain and scanlines.
#pragma once

#include <memory>

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
    ~Film() override;
    // Draws with the colour-only program (film_tone.frag) while the grain
    // and the scanlines are both 0, else with the whole film's.
    void render(int width, int height, float time) override;

private:
    std::unique_ptr<ShaderProgram> tone_shader;
};

}  // namespace Effects
