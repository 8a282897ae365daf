#include "scenes/scene_musicvectors/musicvectors.h"

#include "scenes/scene_musicvectors/drum_shapes.h"
#include "util/music/music.h"

void MusicVectors::init() {
    vectors.set_size(1280, 720);
    vectors.set_scale(1.0f, 1.0f);
    vectors.set_position(0.0f, 0.0f);
    for (int shape = 0; shape < kDrumShapeCount; ++shape) paths[shape] = make_drum_shape(DrumShape(shape));
    for (auto& entry : paths) vectors.add_path(entry.second.get());
}

void MusicVectors::draw() {
    const std::vector<uint8_t> keys = music->get_note_lookup_by_name(kDrumTrack);
    const std::vector<bool> states = music->get_note_states_by_name(kDrumTrack);
    const std::array<bool, kDrumShapeCount> shown = drum_shapes_shown(keys, states);
    for (int shape = 0; shape < kDrumShapeCount; ++shape) paths[shape]->set_visible(shown[static_cast<size_t>(shape)]);
    vectors.draw();
}
