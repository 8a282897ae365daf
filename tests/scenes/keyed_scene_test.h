// A scene manager around one production scene, with the scene's tracks keyed
// in the test: the scene is drawn through the real frame loop into a 320 x
// 180 window (all render area, no bars) at chosen music times (120 bpm, so
// 16 rows a second), read back and kept as a PNG under
// $ZEMBLA_SCREENSHOT_DIR to look at.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "scenes/production_scenes.h"
#include "scenes/scene_tracks.h"
#include "scenes/test_scenes.h"
#include "support/gl_frame.h"

namespace scene_test {

class KeyedSceneTest : public SceneManagerTest {
protected:
    static constexpr int kWidth = 320, kHeight = 180;

    // Called from SetUp: `tracks` get files with no keys (their defaults)
    // until the test keys them; the scene's shaders and pictures are linked in.
    void prepare(const SceneTracks& tracks) {
        for (const char* folder : {"data/scenes", "data/common/images"})
            std::filesystem::create_directory_symlink(test_support::source_path(folder), folder);
        for (const SceneTrack& track : tracks) key_track(track.name, {});
        ZemblaSystem::width = kWidth;
        ZemblaSystem::height = kHeight;
    }

    // Keys a track at music times in seconds, linear between keys (or held
    // until the next key).
    static void key_track(const std::string& name, const std::vector<std::pair<float, float>>& keys,
                          int32_t type = SyncKeyType::Linear) {
        std::vector<SyncKey> rows;
        for (const auto& key : keys) rows.push_back({static_cast<int32_t>(key.first * 16.0f), key.second, type});
        std::vector<uint8_t> bytes = SyncTrackFile::encode(rows);
        std::ofstream("data/sync_tracker/_" + name + ".track", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    // Builds the manager over the one scene; tracks keyed after this take
    // effect only in the next manager.
    void make_scene_manager(const SceneEntry& scene) {
        list_ = {scene};
        make_manager(&list_);
    }

    // One frame at `seconds`, read back from the window (and kept unless
    // `keep_as` is empty).
    test_support::Frame frame_at(float seconds, const std::string& keep_as) {
        // The timer clock first catches up with the tick (which stands
        // still), so the frame's own update adds nothing to the time set.
        manager->get_music()->update();
        manager->get_music()->set_time(seconds);
        manager->frame();
        EXPECT_NO_GL_ERROR();
        test_support::Frame frame(kWidth, kHeight);
        if (!keep_as.empty()) frame.keep(keep_as);
        return frame;
    }

    // Pixels whose brightest channel is above `level`.
    static int lit(const test_support::Frame& f, int level = 24) {
        int n = 0;
        for (int y = 0; y < f.height(); ++y)
            for (int x = 0; x < f.width(); ++x) n += f.at(x, y).brightest() > level;
        return n;
    }

private:
    SceneList list_;
};

}  // namespace scene_test
