// A scene's sync tracks as a table: names and defaults in the order the
// scene registers them. The tables are public so tests can hold them against
// the tracks a production's manifest lists.
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
