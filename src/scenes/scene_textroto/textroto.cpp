#include "scenes/scene_textroto/textroto.h"

#include "util/music/music.h"

const SceneTracks TextRoto::tracks = {
    {"rotoX1", 0.0f}, {"rotoY1", 0.0f}, {"rotoSqX1", 1.0f}, {"rotoSqY1", 1.0f}, {"rotoRot1", 0.0f},
};

void draw_roto_frame(AsciiScreen& screen, RawLoader& picture, int flash, int col_offset, int row_offset,
                     float squeeze) {
    constexpr double kQuarterTurn = 1.5707963267948966;
    flash_background(screen, flash);
    picture.draw_rotated(219, 0, col_offset, row_offset, kQuarterTurn, squeeze, 1.0);
}

void TextRoto::init() {
    text_picture = std::make_unique<AsciiLoader>(&engine, "data/common/asciiart/xr_mug.asc");
    picture = std::make_unique<RawLoader>(&engine, "data/common/raw_ascii/quorvan.raw", 80, 50);
    register_scene_tracks(*music, tracks);
}

void TextRoto::draw() {
    auto v = [this](const char* name) { return music->get_sync_value(name); };
    draw_roto_frame(engine, *picture, flash(), track_cells(v("rotoX1")), track_cells(v("rotoY1")), v("rotoSqY1"));
    engine.render();
}
