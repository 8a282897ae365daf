// Kaleidoscope passes: the picture folded into "Divisions" mirrored wedges
// about its centre, turned by "Rotation". Kaleidoscope and K2 are the same
// pass under two names (so two sets of tracks), each with its own program,
// so that both can run in one chain.
#pragma once

#include "effects/effect.h"

namespace Effects {

// What both names share: parameters, shader files and render.
class KaleidoscopePass : public PostProc {
public:
    void render(int width, int height, float time) override;
    // Folded, every pixel reads the first wedge's mirror half: angles from 0
    // to half a wedge about the centre, to the corners' distance (clamped
    // to the edges), whatever the rotation.
    ViewportRect source_area(int width, int height) const override;

protected:
    explicit KaleidoscopePass(const PassInfo& row);
};

class Kaleidoscope : public KaleidoscopePass {
public:
    explicit Kaleidoscope(const PassInfo& row) : KaleidoscopePass(row) {}
};

class K2 : public KaleidoscopePass {
public:
    explicit K2(const PassInfo& row) : KaleidoscopePass(row) {}
};

}  // namespace Effects
