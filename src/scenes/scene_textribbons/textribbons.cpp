#include "scenes/scene_textribbons/textribbons.h"

#include <string>

#include "platform/ticks.h"
#include "scenes/scene_textribbons/ribbon_screen.h"
#include "util/math/random.h"
#include "util/music/music.h"

const SceneTracks TextRibbons::tracks = {
    {"ribbon1X", 0.0f}, {"ribbon1Y", 0.0f}, {"ribbon1Seed", 0.0f}, {"ribbon2X", 0.0f},
    {"ribbon2Y", 0.0f}, {"ribbon2Seed", 0.0f}, {"ribbon3X", 0.0f}, {"ribbon3Y", 0.0f},
    {"ribbon3Seed", 0.0f}, {"ribbon4X", 0.0f}, {"ribbon4Y", 0.0f}, {"ribbon4Seed", 0.0f},
};

void TextRibbons::init() {
    stars = std::make_unique<AsciiStarfield>(&engine, StarEdge::Right);
    register_scene_tracks(*music, tracks);
}

void TextRibbons::draw() {
    flash_background(engine, flash());
    stars->draw(music->get_beat_step() * -10.0f);
    const std::vector<bool> states = music->get_note_states_by_name(kNoteTrack);
    // New characters every millisecond; the shapes come from the tracks.
    random_seed(platform::tick_ms() * 39825u);
    for (int n = 0; n < kRibbons; ++n) {
        const std::string name = "ribbon" + std::to_string(n + 1);
        draw_ribbon(engine, track_cells(music->get_sync_value(name + "Y")),
                    track_cells(music->get_sync_value(name + "X")), music->get_sync_value(name + "Seed"),
                    ribbon_lit(states, n));
    }
    engine.render();
}
