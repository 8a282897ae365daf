// Blur pass: averages rings of taps around each pixel, "Scale" apart
// (in thousandths of the picture), over "Iterations" rings. The rings are
// gathered at half the render size (GatherStep) before the full-size draw.
#pragma once

#include "effects/effect.h"
#include "effects/postproc/gather_step.h"

namespace Effects {

class Blur : public PostProc {
public:
    explicit Blur(const PassInfo& row);
    void update(int width, int height, float time, FBO* source) override;
    void render(int width, int height, float time) override;
    // False when there is no ring to gather: Scale 0 or fewer than one ring,
    // the cases the full-size shader passes the picture through unchanged.
    bool changes_picture() const override;

private:
    GatherStep rings;
};

}  // namespace Effects
