// VHS pass: rows wobble and colours drift with "Alpha", moving with the
// parameter "Time"; "BandOn" shows a rolling tracking band.
#pragma once

#include "effects/effect.h"

namespace Effects {

class VHS : public PostProc {
public:
    explicit VHS(const PassInfo& row);
    void render(int width, int height, float time) override;
};

}  // namespace Effects
