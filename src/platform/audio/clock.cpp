#include "platform/audio/clock.h"

#include <ctime>

namespace audio {
namespace {

Clock* replacement = nullptr;

}  // namespace

int64_t MonotonicClock::now_ns() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

Clock& playback_clock() {
    static MonotonicClock monotonic;
    return replacement ? *replacement : monotonic;
}

void set_playback_clock(Clock* clock) { replacement = clock; }

bool playback_clock_replaced() { return replacement != nullptr; }

}  // namespace audio
