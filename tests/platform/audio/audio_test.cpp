// The audio layer: decoding by content, the play stream's clock, and the
// spectrum.
#include <cmath>
#include <complex>
#include <fstream>
#include <iterator>
#include <memory>

#include "platform/audio/clock.h"
#include "platform/audio/song.h"
#include "platform/audio/spectrum.h"
#include "platform/audio/stream.h"
#include "support/test_support.h"
#include "platform/audio/sound_fixtures.h"

namespace {

using namespace sound_fixtures;

std::vector<uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<uint8_t> committed_mp3() {
    return read_file(test_support::source_path("tests/platform/audio/tone.mp3"));
}

audio::Song decode_ok(const std::vector<uint8_t>& bytes) {
    audio::Song song;
    std::string error;
    EXPECT_TRUE(audio::decode(bytes.data(), bytes.size(), song, error)) << error;
    return song;
}

std::string decode_error(const std::vector<uint8_t>& bytes) {
    audio::Song song;
    std::string error;
    EXPECT_FALSE(audio::decode(bytes.data(), bytes.size(), song, error));
    return error;
}

// ---- decoding ----

TEST(AudioDecode, OggKeepsRateChannelsAndLength) {
    struct Case { int rate, channels; };
    for (Case c : {Case{44100, 2}, Case{48000, 2}, Case{44100, 1}, Case{48000, 1}}) {
        SCOPED_TRACE(std::to_string(c.rate) + " Hz, " + std::to_string(c.channels) + " channels");
        auto samples = tone(c.rate, c.channels, c.rate / 2, 1000.0);
        audio::Song song = decode_ok(encode_ogg(c.rate, c.channels, samples));
        EXPECT_EQ(song.rate, c.rate);
        EXPECT_EQ(song.channels, c.channels);
        ASSERT_EQ(song.samples.size(), samples.size());
        // Lossy, but the waveform is still there.
        double error = 0;
        for (size_t i = 0; i < samples.size(); ++i) error += std::fabs(song.samples[i] - samples[i]);
        EXPECT_LT(error / samples.size(), 0.02);
    }
}

TEST(AudioDecode, CommittedMp3IsOneSecondOfStereoTone) {
    audio::Song song = decode_ok(committed_mp3());
    EXPECT_EQ(song.rate, 44100);
    EXPECT_EQ(song.channels, 2);
    // The encoder's gapless tag trims its delay and padding.
    EXPECT_EQ(song.frames(), 44100u);
    float peak = 0;
    for (size_t i = 0; i < song.samples.size(); i += 2) {
        EXPECT_NEAR(song.samples[i], song.samples[i + 1], 0.05f);
        peak = std::max(peak, std::fabs(song.samples[i]));
    }
    EXPECT_NEAR(peak, 0.5f, 0.05f);
}

TEST(AudioDecode, ChoosesTheDecoderByContent) {
    // MPEG frames after an ID3 tag-less start, Ogg by its capture pattern;
    // the same bytes decode alike whatever they would be called.
    EXPECT_EQ(decode_ok(silent_mp3_frames(48000, 2, 20)).rate, 48000);
    EXPECT_EQ(decode_ok(ogg_tone(44100, 2, 0.2)).rate, 44100);
}

TEST(AudioDecode, RefusesWhatItCannotPlay) {
    const std::vector<uint8_t> ogg = ogg_tone(44100, 2, 0.5);
    const std::vector<uint8_t> text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'};
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* error;
    };
    const Case cases[] = {
        {"empty", {}, "not an MP3 or Ogg Vorbis stream"},
        {"text", text, "not an MP3 or Ogg Vorbis stream"},
        {"Ogg header only", std::vector<uint8_t>(ogg.begin(), ogg.begin() + 40),
         "not a readable Ogg Vorbis stream"},
        {"chained Ogg, rate changes", concat(ogg, ogg_tone(48000, 2, 0.5, 440.0, 2)),
         "the sample rate changes from 44100 to 48000 in the middle of the stream"},
        {"chained Ogg, channels change", concat(ogg, ogg_tone(44100, 1, 0.5, 440.0, 2)),
         "the channel count changes from 2 to 1 in the middle of the stream"},
        {"MP3, rate changes", concat(silent_mp3_frames(48000, 2, 10), silent_mp3_frames(32000, 2, 10)),
         "the sample rate changes from 48000 to 32000 in the middle of the stream"},
        {"MP3, channels change", concat(silent_mp3_frames(48000, 2, 10), silent_mp3_frames(48000, 1, 10)),
         "the channel count changes from 2 to 1 in the middle of the stream"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(decode_error(c.bytes), c.error);
    }
}

// A copy cut short still decodes, to what is left of it; played, it ends
// the show early without a word. What the file says of itself tells: an Ogg
// stream's last page is flagged as its end, an MP3's Info header states its
// length. A file that decodes to no sound at all is refused as well.
TEST(AudioDecode, FilesCutShortOrWithoutSoundAreRefused) {
    const std::vector<uint8_t> mp3 = committed_mp3();
    const std::vector<uint8_t> ogg = ogg_tone(44100, 2, 2.0);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* error;
    };
    const Case cases[] = {
        {"MP3, two fifths left", std::vector<uint8_t>(mp3.begin(), mp3.begin() + mp3.size() * 2 / 5),
         "the stream stops after 0.4 of its 1.0 seconds: the file is cut short"},
        {"MP3, its first kilobyte", cut(mp3, 12), "the file is cut short"},
        {"Ogg, half left", cut(ogg, 2), "the stream stops before its end after "},
        {"Ogg, its last page missing", std::vector<uint8_t>(ogg.begin(), ogg.end() - 200), "the file is cut short"},
        {"Ogg without a sample", encode_ogg(44100, 2, {}), "the stream holds no sound"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string error = decode_error(c.bytes);
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
    // The MP3's header states its second, and the encoder's delay and
    // padding, which the decoder trims, are far less than what is refused.
    const uint64_t stated = audio::mp3_stated_frames(mp3.data(), mp3.size());
    EXPECT_GE(stated, 44100u);
    EXPECT_LT(stated, 44100u + 3 * 1152u);
    EXPECT_EQ(audio::mp3_stated_frames(silent_mp3_frames(48000, 2, 20).data(), 20 * 384), 0u);
    // The last half second may go: what is left is the song.
    EXPECT_EQ(decode_ok(std::vector<uint8_t>(mp3.begin(), mp3.end() - 4000)).rate, 44100);
}

TEST(AudioDecode, ChainedOggOfOneFormatPlaysThrough) {
    audio::Song song = decode_ok(concat(ogg_tone(44100, 2, 0.5), ogg_tone(44100, 2, 0.25, 440.0, 2)));
    EXPECT_EQ(song.frames(), 22050u + 11025u);
}

TEST(AudioDecode, Pcm16RoundsAndClips) {
    const std::vector<float> in = {0.0f, 0.5f, -0.5f, 1.0f, -1.0f, 2.0f, -2.0f, 1.0f / 65536, 3.0f / 65536};
    const std::vector<int16_t> expected = {0, 16384, -16384, 32767, -32768, 32767, -32768, 0, 2};
    EXPECT_EQ(audio::to_pcm16(in), expected);
}

// ---- the play stream ----

std::shared_ptr<audio::Song> song_of(int rate, int channels, int frames) {
    auto song = std::make_shared<audio::Song>();
    song->rate = rate;
    song->channels = channels;
    song->samples.resize(static_cast<size_t>(frames) * channels);
    for (size_t i = 0; i < song->samples.size(); ++i) song->samples[i] = static_cast<float>(i);
    return song;
}

TEST(AudioStream, BytesAndSecondsBothWays) {
    audio::ManualClock clock;
    struct Case { int rate, channels; double seconds; uint64_t bytes; };
    const Case cases[] = {
        {44100, 2, 1.0, 176400}, {48000, 2, 1.0, 192000}, {44100, 1, 1.0, 88200},
        {44100, 2, 0.5, 88200},  {44100, 2, -2.0, 0},      {48000, 2, 0.00001, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.rate) + "/" + std::to_string(c.channels) + " " + std::to_string(c.seconds));
        audio::Stream stream(song_of(c.rate, c.channels, 10), clock);
        EXPECT_EQ(stream.seconds_to_bytes(c.seconds), c.bytes);
        EXPECT_DOUBLE_EQ(stream.bytes_to_seconds(c.bytes), std::max(0.0, std::floor(c.seconds * c.rate) / c.rate));
    }
    // Rounds down to a whole frame: 1.5 frames' worth is one frame of 4 bytes.
    audio::Stream stream(song_of(44100, 2, 10), clock);
    EXPECT_EQ(stream.seconds_to_bytes(1.5 / 44100), 4u);
    EXPECT_DOUBLE_EQ(stream.bytes_to_seconds(6), 6.0 / 176400);
}

TEST(AudioStream, PlaysOnTheClockPausesAndResumes) {
    audio::ManualClock clock;
    audio::Stream stream(song_of(44100, 2, 44100 * 3), clock);
    EXPECT_EQ(stream.state(), audio::StreamState::Stopped);
    clock.advance_seconds(1.0);
    EXPECT_EQ(stream.position_bytes(), 0u) << "a stopped stream stands still";

    ASSERT_TRUE(stream.play());
    EXPECT_FALSE(stream.play()) << "already playing";
    clock.advance_seconds(1.5);
    EXPECT_EQ(stream.position_frames(), 66150u);
    EXPECT_DOUBLE_EQ(stream.bytes_to_seconds(stream.position_bytes()), 1.5);

    ASSERT_TRUE(stream.pause());
    EXPECT_FALSE(stream.pause()) << "not playing";
    EXPECT_EQ(stream.state(), audio::StreamState::Paused);
    clock.advance_seconds(10.0);
    EXPECT_EQ(stream.position_frames(), 66150u) << "paused stands still";

    ASSERT_TRUE(stream.play());
    clock.advance_seconds(0.25);
    EXPECT_EQ(stream.position_frames(), 66150u + 11025u);
}

TEST(AudioStream, SeekWithinTheSongAndPastItsEnd) {
    audio::ManualClock clock;
    audio::Stream stream(song_of(44100, 2, 44100), clock);
    ASSERT_TRUE(stream.set_position_bytes(stream.seconds_to_bytes(0.5)));
    EXPECT_EQ(stream.position_frames(), 22050u);
    EXPECT_TRUE(stream.set_position_bytes(7)) << "a byte inside frame 1";
    EXPECT_EQ(stream.position_bytes(), 4u);

    stream.play();
    clock.advance_seconds(0.5);
    ASSERT_EQ(stream.position_frames(), 22051u);
    for (uint64_t past : {stream.length_bytes(), stream.length_bytes() + 4, uint64_t(1) << 40}) {
        EXPECT_FALSE(stream.set_position_bytes(past));
        EXPECT_EQ(stream.position_frames(), 22051u) << "a refused seek leaves the position";
        EXPECT_EQ(stream.state(), audio::StreamState::Playing);
    }
    ASSERT_TRUE(stream.set_position_bytes(stream.length_bytes() - 4)) << "the last frame";
    EXPECT_EQ(stream.position_frames(), 44099u);
}

TEST(AudioStream, StopsAtTheEndUnlessLooping) {
    audio::ManualClock clock;
    audio::Stream stream(song_of(48000, 2, 48000), clock);
    stream.play();
    clock.advance_seconds(0.999);
    EXPECT_EQ(stream.state(), audio::StreamState::Playing);
    clock.advance_seconds(0.001);
    EXPECT_EQ(stream.state(), audio::StreamState::Stopped);
    EXPECT_EQ(stream.position_bytes(), stream.length_bytes());
    clock.advance_seconds(5.0);
    EXPECT_EQ(stream.position_bytes(), stream.length_bytes());
    EXPECT_TRUE(stream.play());
    EXPECT_EQ(stream.state(), audio::StreamState::Stopped) << "playing from the end stops at once";

    // Looping wraps to the start; clearing the flag then ends after the round.
    ASSERT_TRUE(stream.set_position_bytes(0));
    stream.set_looping(true);
    stream.play();
    clock.advance_seconds(2.25);
    EXPECT_EQ(stream.state(), audio::StreamState::Playing);
    EXPECT_EQ(stream.position_frames(), 12000u);
    stream.set_looping(false);
    clock.advance_seconds(0.5);
    EXPECT_EQ(stream.position_frames(), 36000u);
    clock.advance_seconds(0.25);
    EXPECT_EQ(stream.state(), audio::StreamState::Stopped);
}

TEST(AudioStream, RendersTheHeardSamplesAtTheVolume) {
    audio::ManualClock clock;
    audio::Stream stream(song_of(1000, 2, 1000), clock);  // sample i has value i
    std::vector<float> out(8, -1.0f);
    stream.render(out.data(), 4);
    EXPECT_EQ(out, std::vector<float>(8, 0.0f)) << "silence while stopped";

    stream.set_volume(0.5f);
    stream.set_position_bytes(10 * 4);
    stream.play();
    stream.render(out.data(), 4);
    EXPECT_EQ(out, (std::vector<float>{10, 10.5, 11, 11.5, 12, 12.5, 13, 13.5}));
    stream.render(out.data(), 4);  // the device reads on from where it was
    EXPECT_FLOAT_EQ(out[0], 14.0f);

    clock.advance_seconds(0.988);  // heard: frame 998, 2 frames before the end
    stream.render(out.data(), 4);
    EXPECT_EQ(out, (std::vector<float>{998, 998.5, 999, 999.5, 0, 0, 0, 0}))
        << "followed the clock, silence after the end";

    stream.pause();
    stream.render(out.data(), 4);
    EXPECT_EQ(out, std::vector<float>(8, 0.0f)) << "silence while paused";
}

TEST(AudioStream, OpenStreamOnAReplacedClockMakesNoSound) {
    audio::ManualClock clock;
    audio::set_playback_clock(&clock);
    auto stream = audio::open_stream(song_of(44100, 2, 100));
    audio::set_playback_clock(nullptr);
    EXPECT_FALSE(stream->has_output());
    stream->play();
    clock.advance_seconds(0.001);
    EXPECT_EQ(stream->position_frames(), 44u);
}

// ---- the spectrum ----

// The same magnitudes by the definition of the DFT, in double precision.
std::vector<double> direct_spectrum(const audio::Song& song, uint64_t start, int size) {
    const double pi = std::acos(-1.0);
    std::vector<double> signal(size, 0.0);
    for (int n = 0; n < size; ++n) {
        const uint64_t frame = start + n;
        if (frame >= song.frames()) continue;
        double sum = 0;
        for (int c = 0; c < song.channels; ++c) sum += song.samples[frame * song.channels + c];
        signal[n] = sum / song.channels * (0.5 - 0.5 * std::cos(2 * pi * n / (size - 1)));
    }
    std::vector<double> out(size / 2);
    for (int k = 0; k < size / 2; ++k) {
        std::complex<double> x = 0;
        for (int n = 0; n < size; ++n) x += signal[n] * std::polar(1.0, -2 * pi * k * n / size);
        out[k] = 2.0 * std::abs(x) / size;
    }
    return out;
}

audio::Song tone_song(int rate, int channels, int frames, double hz) {
    audio::Song song;
    song.rate = rate;
    song.channels = channels;
    song.samples = tone(rate, channels, frames, hz);
    return song;
}

TEST(AudioSpectrum, PureToneOnABinCentrePeaksThereAsTheDftSays) {
    struct Case { int size, bin, rate, channels; };
    for (Case c : {Case{512, 10, 44100, 2}, Case{2048, 40, 44100, 2}, Case{512, 37, 48000, 1}}) {
        SCOPED_TRACE(std::to_string(c.size) + " bin " + std::to_string(c.bin));
        audio::Song song = tone_song(c.rate, c.channels, c.rate, double(c.bin) * c.rate / c.size);
        audio::Spectrum spectrum(c.size);
        std::vector<float> out(spectrum.bins());
        spectrum.compute(song, 1000, out.data());
        EXPECT_EQ(std::max_element(out.begin(), out.end()) - out.begin(), c.bin);
        EXPECT_NEAR(out[c.bin], 0.25, 0.01) << "half-scale sine: half of 0.5";
        std::vector<double> direct = direct_spectrum(song, 1000, c.size);
        for (int k = 0; k < spectrum.bins(); ++k) ASSERT_NEAR(out[k], direct[k], 1e-4) << "bin " << k;
    }
}

TEST(AudioSpectrum, ZeroPaddedAtTheEndAndZeroPastIt) {
    audio::Song song = tone_song(44100, 2, 3000, 1000.0);
    audio::Spectrum spectrum(2048);
    std::vector<float> out(1024);
    spectrum.compute(song, 2000, out.data());  // 1000 frames of sound, then silence
    std::vector<double> direct = direct_spectrum(song, 2000, 2048);
    for (int k = 0; k < 1024; ++k) ASSERT_NEAR(out[k], direct[k], 1e-4) << "bin " << k;
    for (uint64_t start : {uint64_t(3000), uint64_t(1) << 40, ~uint64_t(0) - 10}) {
        std::fill(out.begin(), out.end(), 7.0f);
        spectrum.compute(song, start, out.data());
        EXPECT_EQ(out, std::vector<float>(1024, 0.0f));
    }
}

TEST(AudioSpectrum, CommittedMp3ToneSitsInBin40) {
    audio::Song song = decode_ok(committed_mp3());
    audio::Spectrum spectrum(2048);
    std::vector<float> out(1024);
    spectrum.compute(song, 10000, out.data());
    EXPECT_EQ(std::max_element(out.begin(), out.end()) - out.begin(), 40);
}

}  // namespace
