// The loading screen: shown while the scenes load, advanced by every load of
// the data layer, faded out when the show starts.
#pragma once

#include <cstdint>
#include <functional>

#include "util/math/viewport.h"

// What the loading screen draws (ZemblaSystem::loading_screen).
namespace LoadingScreenStyle {
enum : int { ProgressBar = 0, Ascii = 1, Circles = 2 };
}

namespace LoadingScreen {

// How far loading has come, 0 to 1. A total of 0 (an archive without
// entries) counts as no progress.
float progress_fraction(int done, int total);

// Stores the window size and aspect ratio, blanks both buffers of the
// window and draws the first frame. Until then ticks do nothing.
void setup(int width, int height, float aspect);

// Loads the production's logo (ZemblaSystem::logo_file) for the progress
// bar to show, then ticks. An empty name gives a logo without a picture,
// which draws black.
void load_logo();

// One step: polls Escape (which deletes the temporary files and ends the
// process with status 1), and redraws at most every 40 ms unless forced.
// Does nothing once loading has finished.
void tick(float alpha, bool force);

// Fades the screen out over the production's fade time and marks loading as
// finished.
void fade_out();

// Draws one style into the current viewport of `width` x `height`.
void draw_style(int style, float alpha, int width, int height, int done, int total);

// The state, for those who look at it.
int width();
int height();
float aspect();
int progress_done();
int progress_total();
uint64_t next_redraw();

// What the loading screen needs from the clock, the window and OpenGL. The
// defaults are the real ones; tests put in their own.
struct Services {
    std::function<uint64_t()> now_ms;                 // a monotonic millisecond clock
    std::function<bool()> escape_pressed;             // held, or pressed since the last look
    std::function<void()> drain_messages;             // drops the window's pending messages
    std::function<void()> clear_all;                  // clears every buffer of the window
    std::function<void(const ViewportRect&)> set_viewport;
    std::function<void(int style, float alpha, int width, int height, int done, int total)> draw;
    std::function<void()> present;                    // shows the frame drawn
    std::function<void(int status)> exit_process;
};
Services default_services();
void set_services(const Services& services);

// Back to the state at process start, with the default services (tests).
void reset();

}  // namespace LoadingScreen
