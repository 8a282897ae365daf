// TextRibbons: four wavy ribbons of random characters, placed and waved by
// their tracks, over a starfield drifting left; each lights up while one of
// the first four notes of the note track "RaveBleep" sounds
// (ribbon_screen.h).
#pragma once

#include <memory>

#include "scenes/ascii_scene.h"
#include "scenes/scene_tracks.h"
#include "util/ascii/starfield.h"

class TextRibbons : public AsciiScene {
public:
    static const SceneTracks tracks;
    static constexpr const char* kNoteTrack = "RaveBleep";

    void init() override;
    void draw() override;

private:
    std::unique_ptr<AsciiStarfield> stars;
};
