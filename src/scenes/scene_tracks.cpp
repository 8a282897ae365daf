#include "scenes/scene_tracks.h"

#include "util/music/music.h"

void register_scene_tracks(Music& music, const SceneTracks& tracks) {
    for (const SceneTrack& t : tracks) music.add_sync_track(t.name, t.value, true);
}
