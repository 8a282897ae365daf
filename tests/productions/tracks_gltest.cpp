// Every production whose scenes are all part of the program is built in its
// run directory (plain mode, so its loose track files are read), and the names
// its scene manager and scenes register are compared with those the build
// makes track files for (the scene manager's own tracks and the manifest
// data/productions/<name>/tracks.txt): a name the manifest lacks would be a missing track file in the
// packed archive, a name it has in excess a file nobody reads.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "scenes.h"
#include "scenes/production_scenes.h"
#include "support/gl_context.h"
#include "support/test_support.h"
#include "system/productions.h"
#include "system/settings_guard.h"
#include "system/window.h"
#include "system/zemblasystem.h"
#include "util/data/data.h"
#include "util/music/music.h"

namespace {

using namespace test_support;

// The names of a manifest, in its order (comments and blank lines skipped).
std::vector<std::string> manifest_names(const std::string& path) {
    std::vector<std::string> names;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string name;
        if (words >> name) names.push_back(name);
    }
    return names;
}

class NoEvents : public EventSource {
public:
    bool poll(WindowEvent&) override { return false; }
    void post_quit() override {}
};

class ProductionTracksTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        saved_mode = DataFile::get_mode();
        saved_production = ZemblaSystem::production;
    }
    void TearDown() override {
        DataFile::reset();
        DataFile::set_mode(saved_mode);
        ZemblaSystem::production = saved_production;
    }

    // The names that production `id` registers, in order of registration.
    std::vector<std::string> registered_names(const ProductionRow& row) {
        ZemblaSystem::production = row.id;
        configure_production();
        ZemblaSystem::width = 160;
        ZemblaSystem::height = 90;
        ZemblaSystem::samples = 1;
        ZemblaSystem::sync_client = 0;
        ZemblaSystem::get_avi = false;
        DataFile::reset();
        DataFile::set_mode(DataFileMode::Plain);
        ScopedChdir in_run_dir(binary_path(std::string("run/") + row.name));
        NoEvents events;
        SceneManager manager(nullptr, &events);
        std::vector<std::string> names;
        for (const SyncValue& value : manager.get_music()->sync_values) names.push_back(value.name);
        return names;
    }

    SettingsGuard settings;
    int saved_mode = 0;
    int saved_production = 0;
};

TEST_F(ProductionTracksTest, ManifestsNameWhatThePlayableProductionsRegister) {
    int checked = 0;
    for (const ProductionRow& row : production_table()) {
        SCOPED_TRACE(row.name);
        if (!production_playable(row.id)) continue;
        const std::string manifest = source_path(std::string("data/productions/") + row.name + "/tracks.txt");
        ASSERT_TRUE(std::filesystem::exists(manifest)) << "a playable production needs its manifest";

        // The build adds the scene manager's own tracks to the manifest's.
        std::vector<std::string> listed = manifest_names(manifest);
        for (const std::string& name : manager_track_names())
            EXPECT_EQ(std::count(listed.begin(), listed.end(), name), 0)
                << name << " is one of the scene manager's own tracks, which the build adds: drop it from "
                << manifest;
        const std::vector<std::string> own = manager_track_names();
        listed.insert(listed.begin(), own.begin(), own.end());
        std::vector<std::string> registered = registered_names(row);
        // The first registration of a name is the one read; a manifest names
        // each track once.
        std::set<std::string> listed_set(listed.begin(), listed.end());
        std::set<std::string> registered_set(registered.begin(), registered.end());
        EXPECT_EQ(listed_set.size(), listed.size()) << "a name is listed twice";
        std::vector<std::string> unlisted, unused;
        std::set_difference(registered_set.begin(), registered_set.end(), listed_set.begin(), listed_set.end(),
                            std::back_inserter(unlisted));
        std::set_difference(listed_set.begin(), listed_set.end(), registered_set.begin(), registered_set.end(),
                            std::back_inserter(unused));
        EXPECT_TRUE(unlisted.empty()) << "registered but not in the manifest: " << ::testing::PrintToString(unlisted);
        EXPECT_TRUE(unused.empty()) << "in the manifest but never registered: " << ::testing::PrintToString(unused);
        ++checked;
    }
    EXPECT_GE(checked, 1);
}

}  // namespace
