// TextDrop: a full-screen rotozoomer of a 256 x 256 raw picture behind a
// large 300 x 120 raw picture that "bigX" and "bigY" move (colour 13 is a
// hole in it); the "flash" track can paint over the rotozoomer.
#pragma once

#include <memory>

#include "scenes/ascii_scene.h"
#include "scenes/scene_tracks.h"
#include "util/ascii/raw_picture.h"
#include "util/ascii/rotozoomer.h"

// The big picture over whatever the screen holds: its column `x` and row
// `y` at the screen's top-left cell, after the flash (which leaves the
// screen alone at 0 or less).
void draw_drop_frame(AsciiScreen& screen, RawLoader& picture, int flash, int x, int y);

class TextDrop : public AsciiScene {
public:
    static const SceneTracks tracks;

    void init() override;
    void draw() override;

private:
    std::unique_ptr<Rotozoomer> zoomer;
    std::unique_ptr<RawLoader> picture;
};
