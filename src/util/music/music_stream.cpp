// The soundtrack side of the music object: loading the song named by the
// music file, the clock operations on its play stream, and the spectrum,
// level and waveform queries. Timer mode never reaches the stream_*
// functions; the queries answer for it themselves.
//
// Positions are bytes of the song as 16-bit PCM (4 bytes a stereo frame),
// cut to 32 bits where the interface says so.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "system/fatal.h"
#include "util/data/data.h"
#include "util/music/music.h"

namespace {

// The format facts the loader checks, named as its messages name them.
struct ChannelInfo {
    int freq;
    int chans;
};

}  // namespace

void Music::load_stream(const std::string& file) {
    FATAL_ASSERT(!dummy_mode);

    int32_t length = 0;
    char* bytes = DataFile::load(file.c_str(), "rb", &length, false, true);
    if (!bytes) FATAL_ERROR("Failed to read music data from " << file);
    auto song = std::make_shared<audio::Song>();
    std::string error;
    const bool decoded = audio::decode(bytes, static_cast<size_t>(length), *song, error);
    std::free(bytes);  // the song is decoded whole; the file is not needed again
    if (!decoded) FATAL_ERROR("Failed to create stream chan! " << file << ": " << error);

    const ChannelInfo info{song->rate, song->channels};
    wave_format = WaveFormat{};
    wave_format.format_tag = 1;
    wave_format.channels = static_cast<uint16_t>(info.chans);
    wave_format.samples_per_sec = static_cast<uint32_t>(info.freq);
    wave_format.bits_per_sample = 16;  // decoded samples are never 8-bit
    wave_format.block_align = static_cast<uint16_t>(wave_format.channels * wave_format.bits_per_sample / 8);
    wave_format.avg_bytes_per_sec = wave_format.block_align * wave_format.samples_per_sec;
    wave_format.extra_size = 0;
    FATAL_ASSERT_EQ(info.chans, 2);
    if (song->samples.size() > UINT32_MAX) FATAL_ERROR("Song " << file << " is too long");

    song_ = song;
    num_samples = static_cast<uint32_t>(song->samples.size());
    float_buffer = song->samples.data();
    if (dumping) {
        pcm16_ = audio::to_pcm16(song->samples);
        u16_buffer = pcm16_.data();
    }
    // Created looping and stopped; start() plays it once.
    chan = audio::open_stream(song);
    chan->set_looping(true);
    fft512_ = std::make_unique<audio::Spectrum>(512);
    fft2048_ = std::make_unique<audio::Spectrum>(2048);
}

float Music::stream_get_time() { return static_cast<float>(chan->bytes_to_seconds(chan->position_bytes())); }

uint32_t Music::stream_get_position() { return static_cast<uint32_t>(chan->position_bytes()); }

// A position at or past the end is refused and the music stays where it
// was: the recorder ends when setting the time no longer moves it.
void Music::stream_set_position(uint32_t position) { chan->set_position_bytes(position); }

uint32_t Music::stream_seconds_to_position(double seconds) {
    return static_cast<uint32_t>(chan->seconds_to_bytes(seconds));
}

void Music::stream_set_time(float seconds) { chan->set_position_bytes(chan->seconds_to_bytes(seconds)); }

int32_t Music::stream_get_length() { return static_cast<int32_t>(static_cast<uint32_t>(chan->length_bytes())); }

void Music::stream_start() {
    chan->set_looping(false);
    chan->play();
}

void Music::stream_play() { chan->play(); }
void Music::stream_pause() { chan->pause(); }
bool Music::stream_is_playing() { return chan->state() == audio::StreamState::Playing; }
void Music::stream_set_volume(float volume) { chan->set_volume(volume); }

void Music::stream_release() {
    chan.reset();
    fft512_.reset();
    fft2048_.reset();
    float_buffer = nullptr;
    u16_buffer = nullptr;
    pcm16_.clear();
    song_.reset();
}

float Music::get_band_level(int32_t start, int32_t stop) {
    if (stop <= start) FATAL_ERROR("stop is less than start");
    if (dummy_mode) return 0.0f;
    start = std::clamp(start, 0, 256);
    stop = std::clamp(stop, 0, 256);
    if (stop <= start) return 0.0f;
    float bins[256];
    fft512_->compute(*song_, chan->position_frames(), bins);
    float sum = 0.0f;
    for (int32_t i = start; i < stop; ++i) sum += bins[i];
    return sum / static_cast<float>(stop - start);
}

float Music::get_level() { return get_band_level(0, 256); }

void Music::get_fft(float* buffer, float beat) {
    if (!buffer) FATAL_ERROR("Invalid buffer");
    if (dummy_mode) return;
    uint64_t frame;
    if (beat < 0.0f) {
        frame = chan->position_frames();
    } else {
        const float minutes = (beat - beat_offset) / bpm;
        const double seconds = std::max(0.0, static_cast<double>(minutes)) * 60.0;
        frame = chan->seconds_to_bytes(seconds) / chan->block_align();
    }
    fft2048_->compute(*song_, frame, buffer);
}

void Music::get_waveform(float* buffer, int32_t count) {
    if (!buffer) FATAL_ERROR("Invalid buffer");
    if (dummy_mode || count <= 0) return;
    const uint64_t first = chan->position_bytes() / 2;
    const uint64_t available = first < num_samples ? num_samples - first : 0;
    const size_t copied = static_cast<size_t>(std::min<uint64_t>(available, static_cast<uint64_t>(count)));
    if (copied) std::memcpy(buffer, float_buffer + first, copied * sizeof(float));
    std::fill(buffer + copied, buffer + count, 0.0f);
}

float Music::get_length_beats() {
    const int32_t length = get_length();
    const double seconds = dummy_mode ? length / 1000.0 : chan->bytes_to_seconds(static_cast<uint32_t>(length));
    return static_cast<float>(static_cast<double>(bpm) * (seconds / 60.0));
}
