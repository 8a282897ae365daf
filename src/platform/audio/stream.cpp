#include "platform/audio/stream.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/audio/output.h"
#include "platform/log.h"

namespace audio {

Stream::Stream(std::shared_ptr<const Song> song, Clock& clock)
    : song_(std::move(song)), clock_(clock) {}

Stream::~Stream() { output_.reset(); }

double Stream::bytes_to_seconds(uint64_t bytes) const {
    if (song_->rate <= 0 || song_->channels <= 0) return 0.0;
    return static_cast<double>(bytes) / (static_cast<double>(song_->rate) * block_align());
}

uint64_t Stream::seconds_to_bytes(double seconds) const {
    if (!(seconds > 0.0)) return 0;
    // Far past any song (and no overflow for an infinite time).
    const double frames = std::min(std::floor(seconds * song_->rate), 1e15);
    return static_cast<uint64_t>(frames) * block_align();
}

void Stream::anchor_locked(uint64_t frame) {
    anchor_frame_ = frame;
    anchor_ns_ = clock_.now_ns();
    ++jumps_;
}

uint64_t Stream::update_locked() {
    if (state_ != StreamState::Playing) return anchor_frame_;
    const uint64_t total = song_->frames();
    const int64_t elapsed = std::max<int64_t>(0, clock_.now_ns() - anchor_ns_);
    // elapsed × rate / 1e9, split so that hours of play cannot overflow.
    const uint64_t rate = static_cast<uint64_t>(song_->rate);
    const uint64_t moved = static_cast<uint64_t>(elapsed / 1000000000) * rate +
                           static_cast<uint64_t>(elapsed % 1000000000) * rate / 1000000000;
    uint64_t frame = anchor_frame_ + moved;
    if (frame < total) return frame;
    if (looping_ && total > 0) return frame % total;
    // The end of a song played once.
    state_ = StreamState::Stopped;
    anchor_frame_ = total;
    ++jumps_;
    return total;
}

uint64_t Stream::position_frames() {
    std::lock_guard<std::mutex> lock(mutex_);
    return update_locked();
}

bool Stream::set_position_bytes(uint64_t bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    const uint64_t frame = bytes / block_align();
    if (frame >= song_->frames()) return false;
    update_locked();
    anchor_locked(frame);
    return true;
}

bool Stream::play() {
    std::lock_guard<std::mutex> lock(mutex_);
    const uint64_t frame = update_locked();
    if (state_ == StreamState::Playing) return false;
    state_ = StreamState::Playing;
    anchor_locked(frame);
    update_locked();  // from the end: stopped again at once
    return true;
}

bool Stream::pause() {
    std::lock_guard<std::mutex> lock(mutex_);
    const uint64_t frame = update_locked();
    if (state_ != StreamState::Playing) return false;
    state_ = StreamState::Paused;
    anchor_locked(frame);
    return true;
}

StreamState Stream::state() {
    std::lock_guard<std::mutex> lock(mutex_);
    update_locked();
    return state_;
}

void Stream::set_looping(bool looping) {
    std::lock_guard<std::mutex> lock(mutex_);
    // Re-anchor so that a stream past its first round keeps its place.
    const uint64_t frame = update_locked();
    looping_ = looping;
    if (state_ == StreamState::Playing) {
        anchor_frame_ = frame;
        anchor_ns_ = clock_.now_ns();
    }
}

void Stream::set_volume(float volume) {
    std::lock_guard<std::mutex> lock(mutex_);
    volume_ = volume;
}

float Stream::volume() {
    std::lock_guard<std::mutex> lock(mutex_);
    return volume_;
}

void Stream::attach_output(std::unique_ptr<Output> output) { output_ = std::move(output); }

void Stream::render(float* out, int frames) {
    std::lock_guard<std::mutex> lock(mutex_);
    const int channels = song_->channels;
    const uint64_t total = song_->frames();
    const uint64_t heard = update_locked();
    std::fill(out, out + static_cast<size_t>(frames) * channels, 0.0f);
    if (state_ != StreamState::Playing) {
        device_frame_ = heard;
        device_jumps_ = jumps_;
        return;
    }
    // The device reads ahead of what is heard by its buffer; it follows the
    // clock after every jump and whenever it has drifted by a tenth of a second.
    const uint64_t drift = device_frame_ > heard ? device_frame_ - heard : heard - device_frame_;
    if (device_jumps_ != jumps_ || drift > static_cast<uint64_t>(song_->rate) / 10) {
        device_frame_ = heard;
        device_jumps_ = jumps_;
    }
    const float* samples = song_->samples.data();
    for (int i = 0; i < frames; ++i) {
        if (device_frame_ >= total) {
            if (!looping_ || total == 0) break;
            device_frame_ = 0;
        }
        const float* frame = samples + device_frame_ * channels;
        for (int c = 0; c < channels; ++c) out[i * channels + c] = frame[c] * volume_;
        ++device_frame_;
    }
}

std::unique_ptr<Stream> open_stream(std::shared_ptr<const Song> song) {
    auto stream = std::make_unique<Stream>(std::move(song), playback_clock());
    if (playback_clock_replaced()) return stream;
    std::string error;
    auto output = Output::open(*stream, error);
    if (output)
        stream->attach_output(std::move(output));
    else
        LOG_INFO("No audio output device (" << error << "), playing silently\n");
    return stream;
}

}  // namespace audio
