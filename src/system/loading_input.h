// The window services the loading screen polls between loads, when the
// message loop is not running yet.
#pragma once

#include <cstdint>

namespace system_input {

// Milliseconds of a monotonic clock.
uint64_t ticks_ms();

// Whether Escape is held, or was pressed since the last look.
bool escape_pressed();

// Drops the window's pending events (an Escape among them is remembered for
// the next look).
void drain_messages();

// Presents the window's back buffer (nothing before the window exists).
void swap_window();

}  // namespace system_input
