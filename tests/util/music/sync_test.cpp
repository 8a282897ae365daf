#include "util/music/sync.h"

#include <filesystem>
#include <fstream>

#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

TEST(SyncDeviceFiles, MakeBaseDirs) {
    test_support::TempDir dir;
    test_support::ScopedChdir in(dir.path());
    std::ofstream("file") << "x";
    struct Case {
        std::string base;
        int result;
        const char* made;  // a folder that must exist afterwards, or null
    } cases[] = {
        {"data/sync_tracker/", 0, "data/sync_tracker"},
        {"data/sync_tracker/", 0, "data/sync_tracker"},  // already there
        {"a/b/c/prefix", 0, "a/b/c"},                    // the part after the last "/" is not made
        {"plain", 0, nullptr},
        {dir.path() + "/abs/x/", 0, "abs/x"},
        {"file/sync_tracker/", -1, nullptr},  // a file in the way
        {"data/sync_tracker/file/", 0, "data/sync_tracker/file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.base);
        EXPECT_EQ(SyncDevice::make_base_dirs(c.base), c.result);
        if (c.made) {
            EXPECT_TRUE(fs::is_directory(c.made));
        }
    }
    EXPECT_FALSE(fs::exists("plain"));
}

TEST(SyncDeviceFiles, SaveAllOnlyInClientMode) {
    test_support::TempDir dir;
    std::string base = dir.file("out/_x/");
    for (int client_mode : {0, 1}) {
        auto device = SyncDevice::create(base, client_mode);
        // Player mode finds no file, client mode cannot send the request
        // (not connected); either way the track stays listed.
        EXPECT_EQ(device->open_track("t", 2.0f), nullptr);
        device->tracks[0]->set_key({8, 1.5f, SyncKeyType::Linear});
        EXPECT_EQ(device->save_all(), 0);
        EXPECT_EQ(fs::exists(base + "_t.track"), client_mode == 1);
    }
    std::ifstream in(base + "_t.track", std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(bytes, SyncTrackFile::encode({{8, 1.5f, SyncKeyType::Linear}}));

    SyncTrack t;
    EXPECT_EQ(SyncDevice::save_track_file(t, dir.file("missing/_t.track")), -1);
}

TEST(SyncDeviceFiles, OpenTrackOnceWithTheStandardLibrary) {
    test_support::TempDir dir;
    std::ofstream(dir.file("_speed.track"), std::ios::binary).write("\0\0\0\0", 4);
    auto device = SyncDevice::create(dir.path() + "/", 0);
    SyncTrack* first = device->open_track("speed", 3.0f);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(device->open_track("speed", 9.0f), first);
    ASSERT_EQ(first->keys.size(), 1u);
    EXPECT_EQ(first->keys[0].value, 3.0f);
    EXPECT_EQ(device->find_track("speed"), 0);
    EXPECT_EQ(device->find_track("Speed"), -1);

    std::ofstream(dir.file("_empty.track"), std::ios::binary);
    EXPECT_EQ(device->open_track("empty", 1.0f), nullptr);  // an empty file has no keys to read
    EXPECT_EQ(device->tracks.size(), 2u);                   // the failed track stays listed
}

}  // namespace
