#include "scenes/scene_musicvectornotes/musicvectornotes.h"

#include <cstdio>

#include "scenes/scene_musicvectornotes/bounce_line.h"
#include "util/music/music.h"

void MusicVectorNotes::init() {
    vectors.set_size(1280, 720);
    vectors.set_scale(1.0f, 1.0f);
    vectors.set_position(0.0f, 0.0f);
    const std::vector<uint8_t> keys = music->get_note_lookup_by_name(kBassTrack);
    const std::vector<bool> states = music->get_note_states_by_name(kBassTrack);
    std::printf("luts: %i\n", static_cast<int>(keys.size()));
    std::printf("states: %i\n", static_cast<int>(states.size()));
    paths[0] = make_bounce_path(static_cast<int>(keys.size()));
    for (auto& entry : paths) vectors.add_path(entry.second.get());
}

void MusicVectorNotes::draw() {
    const std::vector<Vectors::Segment*> segments = paths[0]->get_segments();
    set_arc_heights(segments, music->get_note_states_by_name(kBassTrack));
    vectors.draw();
}
