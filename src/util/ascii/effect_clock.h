// The millisecond clock of a wall-clock driven effect, shared by every
// effect of one kind: it starts at the tick count of its first use and is
// then moved on by the effect in steps of its own.
#pragma once

#include <cstdint>

#include "platform/ticks.h"

struct EffectClock {
    bool started = false;
    uint32_t time = 0;

    // The tick count now, starting the clock there on first use.
    uint32_t now() {
        const uint32_t t = platform::tick_ms();
        if (!started) {
            started = true;
            time = t;
        }
        return t;
    }
    // How far the clock is behind `now` (negative when ahead), by
    // difference, so that the tick count's wrap-around after 49 days is
    // just another step.
    int32_t lag(uint32_t now) const { return static_cast<int32_t>(now - time); }
};
