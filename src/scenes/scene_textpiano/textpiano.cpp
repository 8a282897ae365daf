#include "scenes/scene_textpiano/textpiano.h"

#include "util/music/music.h"

const SceneTracks TextPiano::tracks = {
    {"pianoProgress", 0.0f}, {"pianoSpeed1", 10.0f}, {"pianoSpeed2", 16.0f}, {"flash", 0.0f}, {"lastText", 0.0f},
};

void TextPiano::init() {
    keys = piano_keys();
    stars = std::make_unique<AsciiStarfield>(&engine, StarEdge::Right);
    font = std::make_unique<AsciiFont>(&engine);
    register_scene_tracks(*music, tracks);
    upper = layout_piano_items(piano_upper_texts());
    lower = layout_piano_items(piano_lower_texts());
}

void TextPiano::draw() {
    auto v = [this](const char* name) { return music->get_sync_value(name); };
    flash_background(engine, flash());
    const SoundingNotes notes{music->get_note_lookup_by_name(kNoteTrack), music->get_note_states_by_name(kNoteTrack)};
    stars->draw(music->get_beat_step() * -10.0f);
    const PianoRows rows = piano_rows(v("pianoProgress"), v("pianoSpeed1"), v("pianoSpeed2"), music->get_beats());
    draw_piano_row(engine, *font, upper, rows.upper_row, rows.upper_x0, keys, notes);
    draw_piano_row(engine, *font, lower, rows.lower_row, rows.lower_x0, keys, notes);
    draw_closing_lines(*font, track_cells(v("lastText")));
    engine.render();
}
