// VHS pass: rows wobble and colours drift with "Alpha", moving with the
// parameter "Time"; "BandOn" shows a rolling tracking band.
#pragma once

#include <memory>

#include "effects/effect.h"

namespace Effects {

class VHS : public PostProc {
public:
    explicit VHS(const PassInfo& row);
    ~VHS() override;
    // Draws with the band's program (vhs_band.frag) while "BandOn" is
    // above 0, else with the plain tape's.
    void render(int width, int height, float time) override;

private:
    std::unique_ptr<ShaderProgram> band_shader;
};

}  // namespace Effects
