// The clocks that play positions follow. A stream's position is the time
// it has been playing times its sample rate, read from one of these: the
// monotonic clock of the system in a real run, a clock stepped by hand in
// tests (so nothing ever has to sleep).
#pragma once

#include <cstdint>

namespace audio {

class Clock {
public:
    virtual ~Clock() = default;
    // Nanoseconds since an arbitrary fixed start; never goes backwards.
    virtual int64_t now_ns() = 0;
};

// CLOCK_MONOTONIC.
class MonotonicClock : public Clock {
public:
    int64_t now_ns() override;
};

// Moves only when told to.
class ManualClock : public Clock {
public:
    int64_t now_ns() override { return now_; }
    void advance_ns(int64_t ns) { now_ += ns; }
    void advance_seconds(double seconds) { now_ += static_cast<int64_t>(seconds * 1e9 + 0.5); }

private:
    int64_t now_ = 0;
};

// The clock that streams opened from now on follow: the monotonic clock
// unless a replacement was set (null puts the monotonic one back). Streams
// on a replaced clock make no sound; see open_stream.
Clock& playback_clock();
void set_playback_clock(Clock* clock);
bool playback_clock_replaced();

}  // namespace audio
