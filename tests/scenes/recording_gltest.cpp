// Recording a show: a generated soundtrack of a second and a half, recorded
// frame by frame into an AVI file until the music position stops moving; the
// file is then measured with ffprobe.
#include <SDL.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/audio/clock.h"
#include "platform/audio/sound_fixtures.h"
#include "scenes/test_scenes.h"
#include "support/e2e_display.h"

namespace {

using scene_test::SceneManagerTest;

std::string command_output(const std::string& command) {
    std::string output = test_support::run_command(command).output;
    while (!output.empty() && (output.back() == '\n' || output.back() == ',')) output.pop_back();
    return output;
}

class RecordingTest : public SceneManagerTest {
protected:
    void SetUp() override {
        SceneManagerTest::SetUp();
        audio::set_playback_clock(&clock);
        ZemblaSystem::width = 64;
        ZemblaSystem::height = 36;
        ZemblaSystem::get_avi = true;
        ZemblaSystem::title = "recorded show";
    }
    void TearDown() override {
        SceneManagerTest::TearDown();
        audio::set_playback_clock(nullptr);
    }

    // Writes the song and makes it the soundtrack.
    void use_song(int rate, int channels, double seconds) {
        std::filesystem::create_directories("data/music");
        std::vector<uint8_t> ogg = sound_fixtures::ogg_tone(rate, channels, seconds);
        std::ofstream("data/music/song.ogg", std::ios::binary)
            .write(reinterpret_cast<const char*>(ogg.data()), static_cast<std::streamsize>(ogg.size()));
        ZemblaSystem::music_file = "data/music/song.ogg";
    }

    // Frames until the manager quits by itself (at most `limit`).
    int record(int limit) {
        manager->start();
        int frames = 0;
        while (!ZemblaSystem::quitting && frames < limit) {
            manager->frame();
            ++frames;
        }
        return frames;
    }

    audio::ManualClock clock;

    std::string probe(const std::string& stream, const std::string& entries) {
        return command_output("ffprobe -v error -count_frames -select_streams " + stream +
                              " -show_entries stream=" + entries + " -of csv=p=0 'recorded show.01.avi'");
    }

};

TEST_F(RecordingTest, RecordsEveryFrameWithItsSoundUntilTheSongEnds) {
    // 32000 Hz: a frame's sound is 1066.67 sample frames, so slices must
    // alternate in length to stay whole and in step.
    use_song(32000, 2, 1.5);
    scene_test::write_track("ActiveScene1st", 0);
    make_manager();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE) << "the cursor shows while recording";
    ASSERT_EQ(manager->get_music()->num_samples, 32000u * 2 * 3 / 2);
    EXPECT_EQ(record(200), 45);
    EXPECT_EQ(manager->get_frame_count(), 45u);
    EXPECT_EQ(events.quits, 1);
    EXPECT_EQ(scene_test::made_scenes[0]->draws, 45);
    manager.reset();  // finishes the file

    ASSERT_TRUE(std::filesystem::exists("recorded show.01.avi"));
    EXPECT_EQ(probe("v:0", "codec_name,width,height,nb_read_frames"), "rawvideo,64,36,45");
    EXPECT_EQ(probe("v:0", "r_frame_rate"), "30/1");
    EXPECT_EQ(probe("a:0", "codec_name,sample_rate,channels"), "pcm_s16le,32000,2");
    // Every sample of the song, no more: 1.5 s.
    std::string samples = command_output(
        "ffmpeg -v error -i 'recorded show.01.avi' -map 0:a -f s16le - | wc -c");
    EXPECT_EQ(samples, std::to_string(32000 * 2 * 2 * 3 / 2));
}

// A recording that cannot be created (a folder that is missing, or not
// writable) ends the run naming the file and the system's reason.
TEST_F(RecordingTest, AFileThatCannotBeCreatedIsNamedWithTheReason) {
    use_song(32000, 2, 0.5);
    scene_test::write_track("ActiveScene1st", 0);
    ZemblaSystem::title = "missing/recorded show";
    EXPECT_FATAL(make_manager(), "Failed to open video file missing/recorded show.avi (missing/recorded "
                                 "show.01.avi: No such file or directory)");
}

TEST_F(RecordingTest, TheLastFrameRecordsWhatIsLeftOfTheSong) {
    // 22050 Hz, and a song that ends 10 sample frames into a frame's share:
    // the last frame records those 10 and the run ends after it.
    use_song(22050, 2, (735.0 * 20 + 10) / 22050.0);
    make_manager();
    ASSERT_EQ(manager->get_music()->num_samples, (735u * 20 + 10) * 2);
    const int frames = record(200);
    EXPECT_EQ(frames, 21);
    EXPECT_EQ(events.quits, 1);
    manager.reset();
    EXPECT_EQ(probe("v:0", "nb_read_frames"), "21");
    EXPECT_EQ(command_output("ffmpeg -v error -i 'recorded show.01.avi' -map 0:a -f s16le - | wc -c"),
              std::to_string((735 * 20 + 10) * 2 * 2));
}

}  // namespace

namespace {

TEST_F(RecordingTest, FramesWithNoSoundLeftRecordPicturesOnly) {
    // The decoded sound ends half-way while the clock still runs to the end
    // of the song: the frames after it write no sound and do not fail.
    use_song(44100, 2, 1.0);
    make_manager();
    manager->get_music()->num_samples = 44100;  // half a second of stereo
    EXPECT_EQ(record(200), 30);
    EXPECT_EQ(events.quits, 1);
    manager.reset();
    EXPECT_EQ(probe("v:0", "nb_read_frames"), "30");
    EXPECT_EQ(command_output("ffmpeg -v error -i 'recorded show.01.avi' -map 0:a -f s16le - | wc -c"),
              std::to_string(44100 * 2));
}

}  // namespace

namespace {

TEST_F(RecordingTest, WithoutRecordingTheEndOfTheSongPostsOneQuit) {
    ZemblaSystem::get_avi = false;
    use_song(44100, 2, 0.5);
    make_manager();
    manager->start();
    manager->frame();
    EXPECT_EQ(manager->get_frame_count(), 1u);
    clock.advance_seconds(0.6);
    for (int i = 0; i < 3; ++i) manager->frame();
    EXPECT_EQ(events.quits, 1);
    EXPECT_TRUE(ZemblaSystem::quitting);
    EXPECT_EQ(manager->get_frame_count(), 1u) << "nothing drawn or counted after the end";
}

}  // namespace
