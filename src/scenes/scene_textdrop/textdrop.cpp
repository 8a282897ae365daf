#include "scenes/scene_textdrop/textdrop.h"

#include "util/music/music.h"

const SceneTracks TextDrop::tracks = {{"bigX", 0.0f}, {"bigY", 0.0f}};

void draw_drop_frame(AsciiScreen& screen, RawLoader& picture, int flash, int x, int y) {
    paint_flash(screen, flash);
    picture.draw(219, 13, x, y);
}

void TextDrop::init() {
    zoomer = std::make_unique<Rotozoomer>(&engine, "data/common/raw_ascii/zemblas.raw");
    picture = std::make_unique<RawLoader>(&engine, "data/common/raw_ascii/quendle_4_300x120.raw", 300, 120);
    register_scene_tracks(*music, tracks);
}

void TextDrop::draw() {
    engine.clear();
    zoomer->tick();
    draw_drop_frame(engine, *picture, flash(), track_cells(music->get_sync_value("bigX")),
                    track_cells(music->get_sync_value("bigY")));
    engine.render();
}
