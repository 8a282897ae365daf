// The bass scene: one white line across a 1280 x 720 drawing area made of
// one arc per note (key) of the note track "Playfulbass"; an arc bulges up
// while its note sounds (bounce_line.h). The line is rebuilt every frame.
// It registers no sync tracks; a production without that track ends the run
// while the scene is made, through the note queries.
#pragma once

#include <map>
#include <memory>

#include "scenes/scene.h"
#include "util/vectorengine/path.h"
#include "util/vectorengine/vectorengine.h"

class MusicVectorNotes : public Scene {
public:
    void init() override;
    void draw() override;

private:
    std::map<int, std::unique_ptr<Path>> paths;  // the line, key 0
    VectorEngine vectors;
};
