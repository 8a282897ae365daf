#include "system/sdl_video.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

namespace {

// Drivers that draw where nobody can see. SDL falls back to them when there
// is no display; a dialog there would wait for an answer for ever.
bool invisible_driver(const char* name) {
    return name && (std::strcmp(name, "offscreen") == 0 || std::strcmp(name, "dummy") == 0);
}

}  // namespace

bool sdl_video_init() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    const char* requested = SDL_getenv("SDL_VIDEODRIVER");
    if (!(requested && *requested) && invisible_driver(SDL_GetCurrentVideoDriver())) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    static bool registered = false;
    if (!registered) {
        registered = true;
        std::atexit(SDL_Quit);
    }
    return true;
}
