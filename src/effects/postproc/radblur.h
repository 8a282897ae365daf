// Radial blur pass: smears the picture toward the centre ("CntrX",
// "CntrY"), each tap "Step" closer, mixed in by "Strength". The taps along
// the line to the centre are gathered at half the render size
// (HalfSizeStep); the pixel's own tap stays at full size.
#pragma once

#include "effects/effect.h"
#include "effects/postproc/half_size_step.h"

namespace Effects {

class Radblur : public PostProc {
public:
    explicit Radblur(const PassInfo& row);
    void update(int width, int height, float time, FBO* source) override;
    void render(int width, int height, float time) override;
    // False for Strength 0 or a Step of 1 or more, the cases the full-size
    // shader passes the picture through unchanged.
    bool changes_picture() const override;

private:
    HalfSizeStep taps;
};

}  // namespace Effects
