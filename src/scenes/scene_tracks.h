// A scene's sync tracks as a table: names and defaults in the order the
// scene registers them. A scene class keeps its table as the static member
// `tracks` and registers it in init: the table is the one place its track
// names are listed. The build reads the tables (through the scene makers,
// production_scenes.h) to give every track of a production its track file.
#pragma once

#include <vector>

class Music;

struct SceneTrack {
    const char* name;
    float value;  // the default
};

using SceneTracks = std::vector<SceneTrack>;

// Registers every track of the table, tracked, in order.
void register_scene_tracks(Music& music, const SceneTracks& tracks);
