// The music object with a soundtrack: loading, the clock played from the
// song, and the spectrum, level and waveform queries. The play stream runs
// on a hand-stepped clock, so nothing sleeps and no sound device is opened.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "music_fixture.h"
#include "platform/audio/clock.h"
#include "platform/audio/sound_fixtures.h"
#include "platform/audio/spectrum.h"
#include "platform/audio/stream.h"
#include "util/music/music.h"

namespace {

using music_test::MusicTest;
using namespace sound_fixtures;

class SoundtrackTest : public MusicTest {
protected:
    void SetUp() override {
        MusicTest::SetUp();
        audio::set_playback_clock(&clock);
        std::filesystem::create_directories("data/music");
        saved_avi_ = ZemblaSystem::get_avi;
    }
    void TearDown() override {
        audio::set_playback_clock(nullptr);
        ZemblaSystem::get_avi = saved_avi_;
        MusicTest::TearDown();
    }

    // Writes the soundtrack and makes it the run's music file.
    void use_soundtrack(const std::string& name, const std::vector<uint8_t>& bytes) {
        write_file("data/music/" + name, bytes);
        ZemblaSystem::music_file = "data/music/" + name;
    }

    // Steps the clock frame by frame at 60 Hz, updating the music as the
    // frame loop does, until it stops running; returns the frames.
    int run_to_end(Music& music, int limit) {
        int frames = 0;
        while (music.is_running() && frames < limit) {
            clock.advance_ns((frames + 1) * int64_t(1000000000) / 60 - frames * int64_t(1000000000) / 60);
            music.update();
            ++frames;
        }
        return frames;
    }

    static std::vector<uint8_t> committed_mp3() {
        return read_file(test_support::source_path("tests/platform/audio/tone.mp3"));
    }

    audio::ManualClock clock;

private:
    bool saved_avi_ = false;
};

TEST_F(SoundtrackTest, WaveFormatOfTheDecodedSong) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        uint32_t rate, bytes_per_second, num_samples;
    };
    const Case cases[] = {
        {"a.ogg", ogg_tone(44100, 2, 0.5), 44100, 176400, 44100},
        {"b.ogg", ogg_tone(48000, 2, 0.5), 48000, 192000, 48000},
        {"c.mp3", committed_mp3(), 44100, 176400, 88200},
        // Chosen by content: Ogg under an MP3 name plays as Ogg.
        {"d.mp3", ogg_tone(48000, 2, 0.25), 48000, 192000, 24000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        use_soundtrack(c.name, c.bytes);
        Music music;
        EXPECT_FALSE(music.dummy_mode);
        const WaveFormat& f = music.wave_format;
        EXPECT_EQ(f.format_tag, 1);
        EXPECT_EQ(f.channels, 2);
        EXPECT_EQ(f.samples_per_sec, c.rate);
        EXPECT_EQ(f.avg_bytes_per_sec, c.bytes_per_second);
        EXPECT_EQ(f.block_align, 4);
        EXPECT_EQ(f.bits_per_sample, 16);
        EXPECT_EQ(f.extra_size, 0);
        EXPECT_EQ(music.num_samples, c.num_samples);
        EXPECT_EQ(music.get_length(), static_cast<int32_t>(c.num_samples * 2));
        EXPECT_NE(music.float_buffer, nullptr);
        EXPECT_EQ(music.u16_buffer, nullptr) << "only made when recording";
        EXPECT_FALSE(music.is_playing()) << "not started";
    }
}

TEST_F(SoundtrackTest, RecordingAlsoKeepsThe16BitSong) {
    ZemblaSystem::get_avi = true;
    use_soundtrack("song.ogg", ogg_tone(44100, 2, 0.5));
    Music music;
    ASSERT_NE(music.u16_buffer, nullptr);
    for (uint32_t i = 0; i < music.num_samples; ++i)
        ASSERT_NEAR(music.u16_buffer[i], music.float_buffer[i] * 32768.0f, 0.5f) << i;
}

TEST_F(SoundtrackTest, SoundtracksThatCannotBePlayed) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;  // empty: no file at all
        const char* message;
    };
    const Case cases[] = {
        {"none.ogg", {}, "Failed to read music data from data/music/none.ogg"},
        {"mono.ogg", ogg_tone(44100, 1, 0.5), "Failed assert info.chans == 2\n info.chans is 1\n 2 is 2"},
        {"text.mp3", {'n', 'o', 't', ' ', 'a', 'u', 'd', 'i', 'o'},
         "Failed to create stream chan! data/music/text.mp3: not an MP3 or Ogg Vorbis stream"},
        {"chain.ogg", concat(ogg_tone(44100, 2, 0.5), ogg_tone(48000, 2, 0.5, 440.0, 2)),
         "Failed to create stream chan! data/music/chain.ogg: the sample rate changes from 44100 to "
         "48000 in the middle of the stream"},
        // A soundtrack cut short would end the show early without a word.
        {"cut.ogg", cut(ogg_tone(44100, 2, 2.0), 2),
         "Failed to create stream chan! data/music/cut.ogg: the stream stops before its end after "},
        {"silent.ogg", encode_ogg(44100, 2, {}),
         "Failed to create stream chan! data/music/silent.ogg: the stream holds no sound"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.bytes.empty())
            ZemblaSystem::music_file = std::string("data/music/") + c.name;
        else
            use_soundtrack(c.name, c.bytes);
        EXPECT_FATAL_CONTAINS(Music music, c.message);
    }
}

TEST_F(SoundtrackTest, ClockInSecondsBeatsAndRows) {
    use_soundtrack("song.ogg", ogg_tone(44100, 2, 5.0));
    Music music;  // 120 bpm
    music.start();
    EXPECT_TRUE(music.is_playing());
    clock.advance_seconds(1.5);
    EXPECT_FLOAT_EQ(music.get_time(), 1.5f);
    EXPECT_FLOAT_EQ(music.get_beats(), 3.0f);
    EXPECT_DOUBLE_EQ(music.get_row(), 24.0);
    EXPECT_EQ(music.get_position(), 264600u);
    clock.advance_seconds(1.5);
    EXPECT_FLOAT_EQ(music.get_beats(), 6.0f);
    EXPECT_DOUBLE_EQ(music.get_row(), 48.0);
    EXPECT_FLOAT_EQ(music.get_length_beats(), 10.0f);

    music.set_row(16);  // one second, plus one frame of 4 bytes
    EXPECT_EQ(music.get_position(), 176404u);
    music.set_time(-2.0f);
    EXPECT_EQ(music.get_position(), 0u);
    music.set_time(2.25f);
    EXPECT_EQ(music.get_position(), 396900u);
    music.set_position(7);  // inside frame 1
    EXPECT_EQ(music.get_position(), 4u);
}

TEST_F(SoundtrackTest, PauseAndPlay) {
    use_soundtrack("song.ogg", ogg_tone(44100, 2, 3.0));
    Music music;
    music.start();
    clock.advance_seconds(1.0);
    music.pause();
    EXPECT_FALSE(music.is_playing());
    EXPECT_TRUE(music.is_running()) << "a paused soundtrack counts as running";
    clock.advance_seconds(10.0);
    EXPECT_FLOAT_EQ(music.get_time(), 1.0f);
    music.play();
    clock.advance_seconds(0.5);
    EXPECT_FLOAT_EQ(music.get_time(), 1.5f);
    music.toggle_pause();
    EXPECT_TRUE(music.paused);
    clock.advance_seconds(0.5);
    music.toggle_pause();
    clock.advance_seconds(0.25);
    EXPECT_FLOAT_EQ(music.get_time(), 1.75f);
}

TEST_F(SoundtrackTest, SeekPastTheEndLeavesThePosition) {
    use_soundtrack("song.ogg", ogg_tone(44100, 2, 3.0));
    Music music;
    music.start();
    clock.advance_seconds(1.0);
    for (float seconds : {3.0f, 3.5f, 1e9f}) {
        music.set_time(seconds);
        EXPECT_FLOAT_EQ(music.get_time(), 1.0f) << seconds;
    }
    music.set_position(static_cast<uint32_t>(music.get_length()));
    music.set_row(48 * 100);
    EXPECT_FLOAT_EQ(music.get_time(), 1.0f);
    EXPECT_TRUE(music.is_playing());
}

TEST_F(SoundtrackTest, RecordingStepsEndWhenThePositionStopsMoving) {
    // The recorder's loop: back to the start, paused, then the time of each
    // frame at 30 per second until setting it no longer moves the music.
    use_soundtrack("song.ogg", ogg_tone(44100, 2, 3.0));
    Music music;
    music.start();
    music.set_position(0);
    music.toggle_pause();
    int frames = 0;
    for (uint32_t last = music.get_position();; last = music.get_position()) {
        ++frames;
        music.set_time(frames / 30.0f);
        if (music.get_position() == last) break;
        ASSERT_LT(frames, 1000);
    }
    EXPECT_EQ(frames, 90);  // 3 s: frame 90 would be the end itself
    EXPECT_TRUE(music.is_running());
}

TEST_F(SoundtrackTest, ThreeSecondSoundtrackPlaysToItsEndAndStops) {
    use_soundtrack("song.ogg", ogg_tone(44100, 2, 3.0));
    Music music;
    music.start();
    const int frames = run_to_end(music, 1000);
    EXPECT_EQ(frames, 180);
    EXPECT_FALSE(music.is_playing());
    EXPECT_FALSE(music.is_running()) << "the frame loop ends the run here";
    EXPECT_FLOAT_EQ(music.get_time(), 3.0f);
    // Once ended, pausing still counts as running (the editor may pause).
    music.pause();
    EXPECT_TRUE(music.is_running());
}

TEST_F(SoundtrackTest, NoOutputDeviceMeansSilentPlayOnTheClockWithOneLogLine) {
    audio::set_playback_clock(nullptr);
    // A driver that does not exist: SDL opens no device.
    const char* saved = std::getenv("SDL_AUDIODRIVER");
    const std::string saved_driver = saved ? saved : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    use_soundtrack("song.ogg", ogg_tone(44100, 2, 0.5));
    testing::internal::CaptureStdout();
    {
        Music music;
        music.start();
        EXPECT_TRUE(music.is_playing());
        EXPECT_LT(music.get_time(), 0.5f);
    }
    const std::string out = testing::internal::GetCapturedStdout();
    if (saved) setenv("SDL_AUDIODRIVER", saved_driver.c_str(), 1); else unsetenv("SDL_AUDIODRIVER");
    EXPECT_NE(out.find("No audio output device ("), std::string::npos) << out;
    EXPECT_NE(out.find("), playing silently\n"), std::string::npos) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
}

TEST_F(SoundtrackTest, TheAlsaLibraryPrintsNothingOfItsOwnWhenItFindsNoDevice) {
    audio::set_playback_clock(nullptr);
    // ALSA with a configuration that defines no PCM at all: opening the
    // default device fails, and the library would print its own lines.
    test_support::TempDir alsa;
    std::ofstream(alsa.file("asound.conf")) << "# nothing\n";
    struct Env {
        const char* name;
        std::string value;
        bool was_set;
    } env[] = {{"SDL_AUDIODRIVER", "alsa", false}, {"ALSA_CONFIG_PATH", alsa.file("asound.conf"), false}};
    for (Env& e : env) {
        const char* saved = std::getenv(e.name);
        e.was_set = saved != nullptr;
        std::string value = e.value;
        if (saved) e.value = saved;
        setenv(e.name, value.c_str(), 1);
    }
    use_soundtrack("song.ogg", ogg_tone(44100, 2, 0.5));
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    {
        Music music;
        music.start();
        EXPECT_TRUE(music.is_playing());
    }
    const std::string err = testing::internal::GetCapturedStderr();
    const std::string out = testing::internal::GetCapturedStdout();
    for (const Env& e : env)
        if (e.was_set) setenv(e.name, e.value.c_str(), 1); else unsetenv(e.name);
    EXPECT_EQ(err, "");
    EXPECT_NE(out.find("No audio output device (ALSA: "), std::string::npos) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
}

// ---- spectrum, level, waveform ----

// A 5-second stereo sine on the centre of 512-point bin 20, at 120 bpm.
class SpectrumTest : public SoundtrackTest {
protected:
    void SetUp() override {
        SoundtrackTest::SetUp();
        use_soundtrack("tone.ogg", ogg_tone(44100, 2, 5.0, 20 * 44100.0 / 512));
    }
};

TEST_F(SpectrumTest, BandLevelsOfAPureTone) {
    Music music;
    music.start();
    clock.advance_seconds(1.0);
    int loudest = -1;
    float peak = 0;
    for (int bin = 0; bin < 256; ++bin) {
        const float level = music.get_band_level(bin, bin + 1);
        if (level > peak) peak = level, loudest = bin;
    }
    EXPECT_EQ(loudest, 20);
    EXPECT_NEAR(peak, 0.25f, 0.02f);

    EXPECT_FLOAT_EQ(music.get_level(), music.get_band_level(0, 256));
    EXPECT_FLOAT_EQ(music.get_band_level(-50, 300), music.get_level()) << "bins outside 0..256 are left out";
    EXPECT_EQ(music.get_band_level(300, 400), 0.0f);
    EXPECT_FATAL(music.get_band_level(10, 10), "stop is less than start");
    EXPECT_FATAL(music.get_band_level(12, 3), "stop is less than start");
}

TEST_F(SpectrumTest, FftAtABeatOrAtThePlayPosition) {
    Music music;
    music.start();
    clock.advance_seconds(0.5);
    std::vector<float> at_beat(1024), expected(1024);
    music.get_fft(at_beat.data(), 8.0f);  // 4 s at 120 bpm, wherever the music is
    audio::Song song;
    song.rate = 44100;
    song.channels = 2;
    song.samples.assign(music.float_buffer, music.float_buffer + music.num_samples);
    audio::Spectrum(2048).compute(song, 4 * 44100, expected.data());
    EXPECT_EQ(at_beat, expected);

    std::vector<float> now(1024);
    music.get_fft(now.data(), -1.0f);
    audio::Spectrum(2048).compute(song, 44100 / 2, expected.data());
    EXPECT_EQ(now, expected);
    EXPECT_EQ(std::max_element(now.begin(), now.end()) - now.begin(), 80) << "bin 20 of 512 is bin 80 of 2048";

    // At or after the end: zeros, not an ended run.
    for (float beat : {10.0f, 11.0f, 1e6f}) {
        std::fill(now.begin(), now.end(), 1.0f);
        music.get_fft(now.data(), beat);
        EXPECT_EQ(now, std::vector<float>(1024, 0.0f)) << beat;
    }
    clock.advance_seconds(10.0);
    EXPECT_EQ(music.get_level(), 0.0f);
    EXPECT_FATAL(music.get_fft(nullptr, 1.0f), "Invalid buffer");
}

TEST_F(SpectrumTest, WaveformFromThePlayPositionZeroPastTheEnd) {
    Music music;
    music.start();
    clock.advance_seconds(1.0);
    std::vector<float> wave(6, 9.0f);
    music.get_waveform(wave.data(), 6);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(wave[i], music.float_buffer[2 * 44100 + i]);

    music.set_position(music.get_length() - 4);  // the last frame: 2 values remain
    std::fill(wave.begin(), wave.end(), 9.0f);
    music.get_waveform(wave.data(), 6);
    EXPECT_EQ(wave[0], music.float_buffer[music.num_samples - 2]);
    EXPECT_EQ(wave[1], music.float_buffer[music.num_samples - 1]);
    EXPECT_EQ(std::vector<float>(wave.begin() + 2, wave.end()), std::vector<float>(4, 0.0f));
    EXPECT_FATAL(music.get_waveform(nullptr, 6), "Invalid buffer");
}

TEST_F(MusicTest, TimerModeHasNoSound) {
    Music music;
    music.start();
    std::vector<float> buffer(1024, 3.0f);
    music.get_fft(buffer.data(), 1.0f);
    music.get_waveform(buffer.data(), 1024);
    EXPECT_EQ(buffer, std::vector<float>(1024, 3.0f));
    EXPECT_EQ(music.get_level(), 0.0f);
    EXPECT_EQ(music.get_band_level(0, 1), 0.0f);
    EXPECT_FATAL(music.get_band_level(1, 0), "stop is less than start");
    EXPECT_EQ(music.get_length_beats(), 200000.0f);
}

}  // namespace
