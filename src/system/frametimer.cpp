#include "system/frametimer.h"

#include <time.h>

namespace {

int64_t monotonic_nanoseconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

constexpr FrameTimerCounter monotonic_counter{monotonic_nanoseconds, 1000000000};
constexpr int ring_size = 5;
constexpr float initial_delta = 0.0001f;

FrameTimerCounter counter = monotonic_counter;
float seconds_per_tick = 0.001f;
int64_t start_count = 0;
float last_time = 0.0f;
float deltas[ring_size] = {initial_delta, initial_delta, initial_delta, initial_delta,
                           initial_delta};
unsigned char ring_index = 0;
float average_delta = initial_delta;

}  // namespace

void frame_timer_set_counter(const FrameTimerCounter* c) { counter = c ? *c : monotonic_counter; }

void frame_timer_init() {
    seconds_per_tick = 0.001f;
    start_count = 0;
    if (counter.frequency != 0) {
        seconds_per_tick = 1.0f / static_cast<float>(counter.frequency);
        start_count = counter.read();
    }
    last_time = 0.0f;
    for (float& d : deltas) d = initial_delta;
    ring_index = 0;
    average_delta = initial_delta;
}

float frame_timer_now() {
    int64_t elapsed = counter.read() - start_count;
    return static_cast<float>(static_cast<double>(elapsed)) * seconds_per_tick;
}

void frame_timer_update() {
    ring_index = (ring_index + 1) % ring_size;
    float now = frame_timer_now();
    while (now == last_time) now = frame_timer_now();
    float delta = now - last_time;
    if (delta > 0.25f) delta = 0.25f;
    deltas[ring_index] = delta;
    last_time = now;
    float sum = 0.0f;
    for (float d : deltas) sum += d;
    average_delta = sum * 0.2f;
}

float frame_timer_delta() { return average_delta; }
