// Fade pass: "Value" above 0 fades toward white, below 0 toward black, by
// its magnitude.
#pragma once

#include "effects/effect.h"

namespace Effects {

class Fade : public PostProc {
public:
    explicit Fade(const PassInfo& row);
    void render(int width, int height, float time) override;
    // False for Value 0: no way to go.
    bool changes_picture() const override;
};

}  // namespace Effects
