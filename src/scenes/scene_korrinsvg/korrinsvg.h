// The white page: clears the target to opaque white and draws a vector
// engine that holds no path, at a quarter scale. It registers no tracks.
// Whatever earlier layers drew is wiped; the layers after it draw on white.
#pragma once

#include "scenes/scene.h"
#include "util/vectorengine/vectorengine.h"

class KorrinSVG : public Scene {
public:
    void init() override {}
    void draw() override;

private:
    VectorEngine vectors;
};
