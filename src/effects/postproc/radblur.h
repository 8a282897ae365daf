// Radial blur pass: smears the picture toward the centre ("CntrX",
// "CntrY"), each tap "Step" closer, mixed in by "Strength". The taps along
// the line to the centre are gathered at a fraction of the render size
// (GatherStep); the pixel's own tap stays at full size. A weak smear (the
// shows' hits as they fade) is gathered at a quarter of each side, a strong
// one at half: the gathered picture's softness shows in proportion to the
// strength it is mixed in with.
#pragma once

#include "effects/effect.h"
#include "effects/postproc/gather_step.h"

namespace Effects {

class Radblur : public PostProc {
public:
    explicit Radblur(const PassInfo& row);
    void update(int width, int height, float time, FBO* source) override;
    void render(int width, int height, float time) override;
    // False for Strength 0 or a Step of 1 or more, the cases the full-size
    // shader passes the picture through unchanged.
    bool changes_picture() const override;

    // The largest Strength gathered at a quarter of each side: there thin
    // lines inside the smear stay as close to a full-size gathering as at
    // half size with the full strength.
    static constexpr float kQuarterSizeStrength = 0.4f;
    // 4 up to kQuarterSizeStrength either way, else 2.
    static int gather_divisor(float strength);

private:
    GatherStep taps;
};

}  // namespace Effects
