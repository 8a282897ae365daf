// The system's millisecond tick count: a monotonic clock in whole
// milliseconds that wraps around after 2^32 ms (about 49.7 days). Tests
// replace the source so that time moves only when they say so.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

uint32_t tick_ms();

// Replaces the source of tick_ms (nullptr puts the monotonic clock back).
void set_tick_source(std::function<uint32_t()> source);

}  // namespace platform
