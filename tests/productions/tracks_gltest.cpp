// Every production whose scenes are all part of the program is built in its
// run directory (plain mode, so its loose track files are read), and the names
// its scene manager and scenes register are compared with those the build
// makes track files for (`synctimeline tracks`: the scene manager's own and
// each scene class's table): a name the list lacks would be a missing track
// file in the packed archive, a name it has in excess a file nobody reads.
#include <algorithm>
#include <iterator>
#include <memory>
#include <set>
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

TEST_F(ProductionTracksTest, TheBuildsTrackListsAreWhatThePlayableProductionsRegister) {
    int checked = 0;
    for (const ProductionRow& row : production_table()) {
        SCOPED_TRACE(row.name);
        if (!production_playable(row.id)) continue;
        const std::vector<std::string> listed = production_track_names(*production_scene_list(row.id));
        std::vector<std::string> registered = registered_names(row);
        // The first registration of a name is the one read; the list names
        // each track once, in the order of first registration.
        std::vector<std::string> first_registrations;
        for (const std::string& name : registered)
            if (std::find(first_registrations.begin(), first_registrations.end(), name) ==
                first_registrations.end())
                first_registrations.push_back(name);
        std::set<std::string> listed_set(listed.begin(), listed.end());
        std::set<std::string> registered_set(registered.begin(), registered.end());
        EXPECT_EQ(listed_set.size(), listed.size()) << "a name is listed twice";
        std::vector<std::string> unlisted, unused;
        std::set_difference(registered_set.begin(), registered_set.end(), listed_set.begin(), listed_set.end(),
                            std::back_inserter(unlisted));
        std::set_difference(listed_set.begin(), listed_set.end(), registered_set.begin(), registered_set.end(),
                            std::back_inserter(unused));
        EXPECT_TRUE(unlisted.empty()) << "registered but in no scene's track table: "
                                      << ::testing::PrintToString(unlisted);
        EXPECT_TRUE(unused.empty()) << "in a track table but never registered: " << ::testing::PrintToString(unused);
        EXPECT_EQ(listed, first_registrations);
        ++checked;
    }
    EXPECT_GE(checked, 1);
}

}  // namespace
