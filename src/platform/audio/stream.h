// The play stream: a decoded song played from a position, following a
// clock. Its position is the time it has been playing times the song's
// rate, so it is exact and the same whether or not a device makes the sound;
// an output device (output.h) only reads the samples at that position.
//
// Positions are counted like a 16-bit PCM stream of the song: a frame is
// channels × 2 bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/audio/clock.h"
#include "platform/audio/song.h"

namespace audio {

class Output;

enum class StreamState { Stopped, Playing, Paused };

class Stream {
public:
    // Stopped at the start of the song, not looping, volume 1.
    Stream(std::shared_ptr<const Song> song, Clock& clock);
    ~Stream();
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    const Song& song() const { return *song_; }
    int block_align() const { return song_->channels * 2; }
    uint64_t length_bytes() const { return song_->frames() * block_align(); }
    double bytes_to_seconds(uint64_t bytes) const;
    // Rounds down to a whole frame; a negative time is the start.
    uint64_t seconds_to_bytes(double seconds) const;

    uint64_t position_frames();
    uint64_t position_bytes() { return position_frames() * block_align(); }
    // Moves to the frame holding that byte. A position at or after the end
    // is refused: false, and the position stays where it was.
    bool set_position_bytes(uint64_t bytes);

    // Starts or resumes from the current position; false when already
    // playing. Playing from the end stops at once.
    bool play();
    // False when not playing.
    bool pause();
    // A stream that is not looping stops when it reaches the end of the song.
    StreamState state();

    void set_looping(bool looping);
    void set_volume(float volume);
    float volume();

    // Sound through the default device, when there is one (see open_stream).
    void attach_output(std::unique_ptr<Output> output);
    bool has_output() const { return output_ != nullptr; }

    // For the output device, on its own thread: the next `frames` frames of
    // sound (song channels interleaved), scaled by the volume; silence when
    // not playing or past the end.
    void render(float* out, int frames);

private:
    // Brings the state up to the clock; returns the position now.
    uint64_t update_locked();
    void anchor_locked(uint64_t frame);

    std::shared_ptr<const Song> song_;
    Clock& clock_;
    std::mutex mutex_;
    StreamState state_ = StreamState::Stopped;
    bool looping_ = false;
    float volume_ = 1.0f;
    // The position was anchor_frame_ at anchor_ns_ and has moved with the clock since while playing.
    uint64_t anchor_frame_ = 0;
    int64_t anchor_ns_ = 0;
    // Counts every jump of the position (seek, play, pause), so the
    // device's read cursor knows to follow.
    uint64_t jumps_ = 0;
    uint64_t device_frame_ = 0;
    uint64_t device_jumps_ = ~uint64_t(0);
    std::unique_ptr<Output> output_;  // last: closed before the rest goes
};

// A play stream of `song` on the playback clock. On the monotonic clock it
// is heard through the default output device; when there is none it plays
// silently with the same positions and says so in one log line. On a
// replaced clock (tests) it never opens a device.
std::unique_ptr<Stream> open_stream(std::shared_ptr<const Song> song);

}  // namespace audio
