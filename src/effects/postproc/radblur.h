// Radial blur pass: smears the picture toward the centre ("CntrX",
// "CntrY"), each tap "Step" closer, mixed in by "Strength". The smear along
// the line to the centre is gathered at a fraction of the render size
// (GatherStep), in rounds; the pixel's own tap stays at full size. A weak
// smear (the shows' hits as they fade) is gathered at a quarter of each
// side, a strong one at half: the gathered picture's softness shows in
// proportion to the strength it is mixed in with.
#pragma once

#include <vector>

#include "effects/effect.h"
#include "effects/postproc/gather_step.h"

namespace Effects {

// One round of gathering the smear: its taps sit at the middles of `taps`
// equal parts of the steps from `start` to `start + reach` toward the
// centre, each weighing 0.9 to the power of its step. 0 taps: a close
// round (close_taps).
struct RadblurRound {
    float start;
    float reach;
    int taps;
};

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

    // The smear reaches from step 0.5 to step 9.5. Taps spread evenly over
    // it leave a thin bright line as a row of separate copies unless they
    // lie within about two pixels of each other, which far from the centre
    // takes hundreds; so it is gathered in rounds, each drawn over the whole
    // gathering target. The first reads the picture with `spread[0]` taps
    // spread over the whole reach; each next one reads the round before
    // with `spread[i]` taps over as many steps as the taps of the round
    // before lie apart, so the parts it reads abut; the last reads the
    // round before closely (taps 0). All rounds together weigh every step
    // of the reach as one round with every combination of their taps would.
    // No spread: one round reads the picture closely over the whole reach.
    static std::vector<RadblurRound> rounds(const std::vector<int>& spread);
    // The pass's own rounds.
    static const std::vector<RadblurRound>& rounds();
    // The taps of a close round (taps 0) reaching `reach` steps at `step`:
    // as many as keep them kCloseTapSpacing pixels apart at the pixel
    // `farthest` pixels from the centre (closer pixels get closer taps), at
    // most kMaxCloseTaps.
    static int close_taps(float step, float reach, float farthest);
    static constexpr float kCloseTapSpacing = 2.0f;
    static constexpr int kMaxCloseTaps = 32;

private:
    GatherStep taps;
};

}  // namespace Effects
