// TextRoto: an 80 x 50 raw colour picture turned a quarter turn about the
// screen's centre and squeezed along the rows by "rotoSqY1", its black
// pixels letting the "flash" background show. The text picture it loads is
// part of the production's data and is never drawn.
#pragma once

#include <memory>

#include "scenes/ascii_scene.h"
#include "scenes/scene_tracks.h"
#include "util/ascii/raw_picture.h"
#include "util/ascii/text_picture.h"

// The rotated picture's frame onto a screen: the flash background, then the
// picture in full blocks with colour 0 transparent, the offsets bounding the
// drawn cells.
void draw_roto_frame(AsciiScreen& screen, RawLoader& picture, int flash, int col_offset, int row_offset,
                     float squeeze);

class TextRoto : public AsciiScene {
public:
    static const SceneTracks tracks;

    void init() override;
    void draw() override;

private:
    std::unique_ptr<AsciiLoader> text_picture;
    std::unique_ptr<RawLoader> picture;
};
