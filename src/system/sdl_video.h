// SDL's video layer, shared by the setup dialog and the window.
#pragma once

#include <string>

// Initialises SDL's video layer once per process (later calls only report
// whether it is up). SDL_Quit runs at exit, so a changed display mode is put
// back however the process ends. The first call installs the program's
// handlers of X errors (system/x_errors.h), before SDL opens a connection.
//
// A display that is named (DISPLAY or WAYLAND_DISPLAY) but refuses the
// connection is tried again for a few seconds: an X server resets when its
// last client leaves, and a client that connects in that moment is dropped,
// which SDL reports by falling back to a driver that draws nowhere. When a
// named display stays away, the reason goes to the log; a later call tries
// once.
bool sdl_video_init();

// One attempt to bring up SDL's video subsystem on a driver that shows
// something (no "offscreen" or "dummy" fallback unless SDL_VIDEODRIVER asks
// for it), tried again until `seconds` have passed while a display is named.
// Returns false with the last reason in `why`; the subsystem is then down.
// For code that manages SDL itself (the GL tests' shared context).
bool sdl_video_connect(double seconds, std::string& why);
