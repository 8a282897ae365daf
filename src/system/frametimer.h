// The frame timer: seconds since start-up from the high-resolution counter,
// and a five-frame moving average of the time between frames (each gap
// counted as at most 0.25 s).
#pragma once

#include <cstdint>

void frame_timer_init();
// Once per frame; waits until the clock has moved, so a delta is never 0.
void frame_timer_update();
// Seconds since frame_timer_init.
float frame_timer_now();
// The average time between the last five updates, in seconds.
float frame_timer_delta();

// The counter the timer reads: a tick count and the ticks per second (0 when
// unknown; a tick then counts as a millisecond). The default is the
// monotonic clock in nanoseconds. Tests install their own; nullptr puts the
// default back. Takes effect at the next frame_timer_init, which also resets
// the timer's history.
struct FrameTimerCounter {
    int64_t (*read)();
    int64_t frequency;
};
void frame_timer_set_counter(const FrameTimerCounter* counter);
