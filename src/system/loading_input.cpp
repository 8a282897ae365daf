#include "system/loading_input.h"

#include <SDL.h>

#include "system/zemblasystem.h"

namespace system_input {
namespace {

bool escape_latched = false;

// Whether a pending key-down event is Escape (the events stay queued).
bool escape_queued() {
    SDL_Event events[64];
    int count = SDL_PeepEvents(events, 64, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYDOWN);
    for (int i = 0; i < count; ++i)
        if (events[i].key.keysym.sym == SDLK_ESCAPE) return true;
    return false;
}

}  // namespace

uint64_t ticks_ms() { return SDL_GetTicks64(); }

bool escape_pressed() {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    SDL_PumpEvents();
    bool pressed = escape_latched || SDL_GetKeyboardState(nullptr)[SDL_SCANCODE_ESCAPE] || escape_queued();
    escape_latched = false;
    return pressed;
}

void drain_messages() {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    SDL_PumpEvents();
    if (escape_queued()) escape_latched = true;
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

void swap_window() {
    if (ZemblaSystem::hWnd) SDL_GL_SwapWindow(ZemblaSystem::hWnd);
}

}  // namespace system_input
