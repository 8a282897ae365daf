// Shared set-up of the music tests: a timer-mode run (no soundtrack, 120 bpm,
// player mode) in a fresh working folder with an empty data/sync_tracker/,
// plain-disk data mode and a millisecond tick that moves only when the test
// sets `now`.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/ticks.h"
#include "support/test_support.h"
#include "system/zemblasystem.h"
#include "util/data/data.h"
#include "util/music/synctrack.h"

namespace music_test {

class MusicTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_file_ = ZemblaSystem::music_file;
        saved_bpm_ = ZemblaSystem::bpm;
        saved_client_ = ZemblaSystem::sync_client;
        saved_mode_ = DataFile::get_mode();
        ZemblaSystem::music_file = "";
        ZemblaSystem::bpm = 120.0f;
        ZemblaSystem::sync_client = 0;
        ZemblaSystem::get_avi = false;
        DataFile::set_mode(DataFileMode::Plain);
        platform::set_tick_source([this] { return now; });
        chdir_ = std::make_unique<test_support::ScopedChdir>(dir_.path());
        std::filesystem::create_directories("data/sync_tracker");
        test_support::clear_boxes();
    }

    void TearDown() override {
        chdir_.reset();
        platform::set_tick_source(nullptr);
        ZemblaSystem::music_file = saved_file_;
        ZemblaSystem::bpm = saved_bpm_;
        ZemblaSystem::sync_client = saved_client_;
        DataFile::set_mode(saved_mode_);
    }

    static std::string track_file(const std::string& name) { return "data/sync_tracker/_" + name + ".track"; }

    static void write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
    }

    static std::vector<uint8_t> read_file(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }

    static void write_track(const std::string& name, const std::vector<SyncKey>& keys) {
        write_file(track_file(name), SyncTrackFile::encode(keys));
    }

    uint32_t now = 1000;

private:
    test_support::TempDir dir_;
    std::unique_ptr<test_support::ScopedChdir> chdir_;
    std::string saved_file_;
    float saved_bpm_ = 0;
    int saved_client_ = 0;
    int saved_mode_ = 0;
};

}  // namespace music_test
