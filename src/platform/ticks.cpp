#include "platform/ticks.h"

#include <time.h>

namespace platform {
namespace {

std::function<uint32_t()>& source() {
    static std::function<uint32_t()> s;
    return s;
}

uint32_t monotonic_ms() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

}  // namespace

uint32_t tick_ms() { return source() ? source()() : monotonic_ms(); }

void set_tick_source(std::function<uint32_t()> s) { source() = std::move(s); }

}  // namespace platform
