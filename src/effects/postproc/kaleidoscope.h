// Kaleidoscope passes: the picture folded into "Divisions" mirrored wedges
// about its centre, turned by "Rotation". Kaleidoscope and K2 are the same
// pass under two names (so two sets of tracks), each with its own program,
// so that both can run in one chain.
#pragma once

#include "effects/effect.h"

namespace Effects {

class Kaleidoscope : public PostProc {
public:
    Kaleidoscope();
    void render(int width, int height, float time) override;
};

class K2 : public PostProc {
public:
    K2();
    void render(int width, int height, float time) override;
};

}  // namespace Effects
