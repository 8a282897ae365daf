#include "util/music/music.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "music_fixture.h"

namespace {

using music_test::MusicTest;

TEST_F(MusicTest, TimerClockMovesOnlyInUpdates) {
    Music music;
    EXPECT_TRUE(music.dummy_mode);
    EXPECT_EQ(current_music, &music);
    music.start();
    now += 3000;
    EXPECT_EQ(music.get_time(), 0.0f);  // not yet updated
    music.update();
    EXPECT_FLOAT_EQ(music.get_time(), 3.0f);
    EXPECT_FLOAT_EQ(music.get_beats(), 6.0f);
    EXPECT_DOUBLE_EQ(music.get_row(), 48.0);
    EXPECT_EQ(music.get_position(), 3000u);
    now += 500;
    EXPECT_FLOAT_EQ(music.get_time(), 3.0f);

    EXPECT_EQ(music.get_length(), 99999999);
    EXPECT_TRUE(music.is_playing());
    EXPECT_TRUE(music.is_running());
    music.set_volume(0.25f);  // nothing to do without a soundtrack
}

TEST_F(MusicTest, TimerClockPauseAndPlay) {
    Music music;
    music.start();
    now += 1000;
    music.pause();  // advances to the moment of pausing
    EXPECT_EQ(music.dummy_ms, 1000);
    EXPECT_FALSE(music.is_playing());
    EXPECT_TRUE(music.is_running());
    now += 5000;
    music.update();
    EXPECT_EQ(music.dummy_ms, 1000);
    music.play();  // the paused interval is skipped
    now += 250;
    music.update();
    EXPECT_EQ(music.dummy_ms, 1250);

    music.toggle_pause();  // pauses, advancing
    EXPECT_TRUE(music.paused);
    now += 100;
    music.toggle_pause();  // resumes without advancing
    EXPECT_FALSE(music.paused);
    EXPECT_EQ(music.dummy_ms, 1250);
    now += 100;
    music.update();
    EXPECT_EQ(music.dummy_ms, 1350);
}

TEST_F(MusicTest, TimerClockSurvivesTickWrap) {
    now = 0xFFFFFF00u;
    Music music;
    music.start();
    now = 0x100;
    music.update();
    EXPECT_EQ(music.dummy_ms, 512);
}

TEST_F(MusicTest, PositioningInTimerMode) {
    Music music;
    music.start();
    music.set_row(48);  // 3000 ms at 16 rows a second, plus 4
    EXPECT_EQ(music.dummy_ms, 3004);
    music.set_time(1.5f);
    EXPECT_EQ(music.dummy_ms, 1500);
    music.set_time(-2.0f);
    EXPECT_EQ(music.dummy_ms, 0);
    music.set_position(777);
    EXPECT_EQ(music.get_position(), 777u);

    // Rows that have no time: negative rows go to the start, and without a
    // tempo the row is ignored instead of dividing by zero.
    music.set_row(-16);
    EXPECT_EQ(music.dummy_ms, 4);
    music.set_position(50);
    music.set_bpm(0.0f);
    music.set_row(64);
    EXPECT_EQ(music.dummy_ms, 50);
    music.set_bpm(120.0f);
    music.set_row(INT32_MAX);  // far beyond the timer's range: saturates
    EXPECT_EQ(music.dummy_ms, INT32_MAX);
}

TEST_F(MusicTest, TempoChangeMovesEveryInstant) {
    Music music;
    music.start();
    now += 10000;
    music.update();
    EXPECT_FLOAT_EQ(music.get_beats(), 20.0f);
    music.set_bpm(60.0f);
    EXPECT_FLOAT_EQ(music.get_beats(), 10.0f);
    EXPECT_DOUBLE_EQ(music.get_row(), 80.0);
}

TEST_F(MusicTest, BeatStepAveragesTheLastTenUpdates) {
    Music music;
    music.start();
    const float per_update = 0.2f;  // 100 ms at 120 bpm
    float expected[] = {0.02f, 0.04f, 0.06f, 0.08f, 0.1f, 0.12f, 0.14f, 0.16f, 0.18f, 0.2f, 0.2f};
    for (float e : expected) {
        now += 100;
        music.update();
        EXPECT_NEAR(music.get_beat_step(), e, 1e-5f);
    }
    EXPECT_NEAR(music.get_beat_step(), per_update, 1e-5f);
}

TEST_F(MusicTest, ExtensionIsChosenLowerCased) {
    struct Case {
        const char* file;
        const char* refused;  // null: accepted by the dispatch
    } cases[] = {
        {"data/music/song.WAV", "Music format .wav not supported"},
        {"data/music/song.flac", "Music format flac not supported"},
        {"ab", "Music format ab not supported"},
        {"data/music/song.MP3", nullptr},
        {"data/music/song.Ogg", nullptr},
        {"data/music/desc.xml", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        ZemblaSystem::music_file = c.file;
        try {
            Music music;
            ADD_FAILURE() << "expected the missing file to end the run";
        } catch (const test_support::FatalError& e) {
            // An accepted name goes to its loader, which fails for a file
            // that is not there.
            if (c.refused)
                EXPECT_EQ(e.report.message, c.refused);
            else
                EXPECT_EQ(e.report.message.find("Music format"), std::string::npos) << e.report.message;
        }
    }
}

TEST_F(MusicTest, SyncValues) {
    write_track("zero", {});
    write_track("ramp", {{0, 1.0f, SyncKeyType::Linear}, {8, 3.0f, SyncKeyType::Step}});
    Music music;
    music.add_sync_track("flash", 0.5f, false);
    music.add_sync_track("twice", 1.0f, false);
    music.add_sync_track("twice", 2.0f, false);
    music.add_sync_track("zero", 3.0f, true);
    music.add_sync_track("ramp", 9.0f, true);
    music.add_sync_track("ramp", 7.0f, true);  // same track, first default kept
    EXPECT_EQ(music.sync_values.size(), 6u);
    EXPECT_EQ(music.sync_values[4].track, music.sync_values[5].track);
    EXPECT_EQ(music.sync_device->tracks.size(), 2u);

    music.start();
    struct Case {
        uint32_t ms;
        const char* name;
        float expected;
    } cases[] = {
        {0, "flash", 0.5f}, {5000, "flash", 0.5f}, {0, "twice", 1.0f}, {0, "zero", 3.0f},
        {9000, "zero", 3.0f}, {0, "ramp", 1.0f}, {250, "ramp", 2.0f},  // row 4
        {281, "ramp", 2.0f + 0.25f * 0.496f},                          // row 4.496, unfloored
        {10000, "ramp", 3.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " at " << c.ms << " ms");
        music.set_position(c.ms);
        EXPECT_FLOAT_EQ(music.get_sync_value(c.name), c.expected);
    }
    EXPECT_FATAL(music.get_sync_value("Flash"), "Can't find sync value for Flash");
}

TEST_F(MusicTest, TrackFilesThatCannotBeUsed) {
    write_track("good", {{0, 1.0f, SyncKeyType::Step}});
    write_file(track_file("short"), {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x3F, 1});
    write_file(track_file("empty"), {});
    Music music;
    // The track file and why it could not be used.
    EXPECT_FATAL(music.add_sync_track("missing", 0.0f, true),
                 "Failed to open track missing (data/sync_tracker/_missing.track): No such file or directory");
    EXPECT_FATAL(music.add_sync_track("short", 0.0f, true),
                 "Corrupt track file data/sync_tracker/_short.track: its 2 keys need 22 bytes but it holds 13");
    EXPECT_FATAL(music.add_sync_track("empty", 0.0f, true),
                 "Tried to read 0 bytes from data/sync_tracker/_empty.track, got 0");
    music.add_sync_track("good", 5.0f, true);
    EXPECT_EQ(music.get_sync_value("good"), 1.0f);
}

TEST_F(MusicTest, TrackFilesFromTheArchive) {
    // In archive-read mode the track comes from the archive table, and an
    // empty entry counts as absent.
    std::vector<uint8_t> bytes = SyncTrackFile::encode({{0, 4.0f, SyncKeyType::Step}});
    std::vector<DataFileEntry*> added;
    for (auto [name, size] : {std::pair{"data/sync_tracker/_packed.track", bytes.size()},
                              std::pair{"data/sync_tracker/_hollow.track", size_t{0}}}) {
        auto entry = std::make_unique<DataFileEntry>();
        entry->name = name;
        entry->size = static_cast<int32_t>(size);
        entry->data = static_cast<char*>(std::malloc(bytes.size()));
        std::memcpy(entry->data, bytes.data(), bytes.size());
        added.push_back(entry.get());
        DataFile::entries().push_back(std::move(entry));
    }
    DataFile::set_mode(DataFileMode::Read);
    {
        Music music;
        music.add_sync_track("packed", 0.0f, true);
        EXPECT_EQ(music.get_sync_value("packed"), 4.0f);
        EXPECT_FATAL(music.add_sync_track("hollow", 0.0f, true),
                     "Failed to open track hollow (data/sync_tracker/_hollow.track): the file is empty");
    }
    auto& table = DataFile::entries();
    for (DataFileEntry* entry : added) {
        std::free(entry->data);
        table.erase(std::find_if(table.begin(), table.end(), [&](const auto& e) { return e.get() == entry; }));
    }
}

TEST_F(MusicTest, EditorCallbacksActOnTheMusicObject) {
    EXPECT_EQ(current_music, nullptr);
    sync_cb_pause(nullptr, 1);  // no music object: nothing happens
    sync_cb_set_row(nullptr, 16);
    EXPECT_EQ(sync_cb_is_playing(nullptr), 0);

    {
        Music music;
        music.start();
        EXPECT_EQ(sync_cb_is_playing(nullptr), 1);
        sync_cb_pause(nullptr, 1);
        EXPECT_TRUE(music.paused);
        EXPECT_EQ(sync_cb_is_playing(nullptr), 0);
        sync_cb_pause(nullptr, 0);
        EXPECT_FALSE(music.paused);
        sync_cb_set_row(nullptr, 64);
        EXPECT_EQ(music.dummy_ms, 4004);
    }
    EXPECT_EQ(current_music, nullptr);
}

TEST_F(MusicTest, PlayerModeSavesNothingAtShutDown) {
    write_track("kept", {{0, 1.0f, SyncKeyType::Step}, {8, 2.0f, SyncKeyType::Linear}});
    std::vector<uint8_t> before = read_file(track_file("kept"));
    {
        Music music;
        music.add_sync_track("kept", 0.0f, true);
        music.sync_device->tracks[0]->set_key({4, 9.0f, SyncKeyType::Step});
    }
    EXPECT_EQ(read_file(track_file("kept")), before);
    EXPECT_TRUE(test_support::recorded_boxes().empty());
}

}  // namespace
