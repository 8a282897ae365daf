#include "system/sdl_video.h"

#include <SDL.h>

#include <cstdlib>

bool sdl_video_init() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    static bool registered = false;
    if (!registered) {
        registered = true;
        std::atexit(SDL_Quit);
    }
    return true;
}
