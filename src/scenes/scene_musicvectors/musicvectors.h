// The drum scene: three fixed vector shapes on a 1280 x 720 drawing area,
// each shown only while certain drum notes of the note track "Ruff Kit"
// sound (drum_shapes.h). It registers no sync tracks, clears nothing and
// draws over what the frame loop drew before. A production without that
// track ends the run at the first frame, through the note queries.
#pragma once

#include <map>
#include <memory>

#include "scenes/scene.h"
#include "util/vectorengine/path.h"
#include "util/vectorengine/vectorengine.h"

class MusicVectors : public Scene {
public:
    void init() override;
    void draw() override;

private:
    std::map<int, std::unique_ptr<Path>> paths;  // by DrumShape
    VectorEngine vectors;
};
