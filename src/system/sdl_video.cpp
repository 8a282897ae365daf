#include "system/sdl_video.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "system/fatal.h"
#include "system/x_errors.h"

namespace {

// How long a named display may refuse the connection before the program
// gives up on it. An X server's reset takes well under a second on an idle
// machine; a loaded two-core machine needs more.
constexpr double kDisplayWaitSeconds = 10.0;

// Drivers that draw where nobody can see. SDL falls back to them when there
// is no display; a dialog there would wait for an answer for ever.
bool invisible_driver(const char* name) {
    return name && (std::strcmp(name, "offscreen") == 0 || std::strcmp(name, "dummy") == 0);
}

bool set(const char* name) {
    const char* value = SDL_getenv(name);
    return value && *value;
}

// One attempt; on failure the subsystem is down and `why` says what happened.
bool try_video_init(std::string& why) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        why = SDL_GetError();
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!set("SDL_VIDEODRIVER") && invisible_driver(driver)) {
        // SDL leaves no message for the display it could not open (what
        // it has is from a later driver it tried), so the driver says it.
        why = std::string("the connection failed and SDL fell back to its \"") + driver +
              "\" driver";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    return true;
}

std::string display_name() {
    if (set("DISPLAY")) return SDL_getenv("DISPLAY");
    if (set("WAYLAND_DISPLAY")) return SDL_getenv("WAYLAND_DISPLAY");
    return "";
}

}  // namespace

bool sdl_video_connect(double seconds, std::string& why) {
    // Only a named display is worth waiting for; without one the first
    // answer is the last.
    const bool named = !display_name().empty();
    // The process's first try goes through all of SDL's drivers; the later
    // ones, in this call or a later one, only to the named display's own.
    // The others answer the same every time, and some say so on the console
    // (Wayland's line about XDG_RUNTIME_DIR): ten times a second for as long
    // as the display stays away.
    static bool all_drivers_tried = false;
    const bool pin = named && !set("SDL_VIDEODRIVER");
    const char* own_driver = set("DISPLAY") ? "x11" : "wayland";
    const char* hint = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    const std::string saved_hint = hint ? hint : "";
    const bool had_hint = hint != nullptr;
    bool pinned = false;
    auto unpin = [&] {
        if (!pinned) return;
        if (had_hint)
            SDL_SetHint(SDL_HINT_VIDEODRIVER, saved_hint.c_str());
        else
            SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    };

    const Uint64 start = SDL_GetTicks64();
    for (;;) {
        if (pin && all_drivers_tried && !pinned) {
            SDL_SetHint(SDL_HINT_VIDEODRIVER, own_driver);
            pinned = true;
        }
        all_drivers_tried = true;
        SDL_ClearError();
        if (try_video_init(why)) {
            unpin();
            return true;
        }
        if (!named || SDL_GetTicks64() - start >= static_cast<Uint64>(seconds * 1000)) {
            unpin();
            return false;
        }
        SDL_Delay(100);
    }
}

bool sdl_video_init() {
    // Before SDL's video layer opens its connections: SDL's own X error
    // handler then passes errors on to the program's.
    static bool handlers_installed = false;
    if (!handlers_installed) {
        handlers_installed = true;
        x_errors::install();
    }
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    static bool display_stayed_away = false;
    std::string why;
    if (!sdl_video_connect(display_stayed_away ? 0.0 : kDisplayWaitSeconds, why)) {
        // Without a display there is nothing to explain: the setup dialog
        // and the window say what they cannot do.
        const std::string display = display_name();
        if (!display_stayed_away && !display.empty())
            LOG_INFO("Could not open the display " << display << ": " << why << "\n");
        display_stayed_away = true;
        return false;
    }
    static bool registered = false;
    if (!registered) {
        registered = true;
        std::atexit(SDL_Quit);
    }
    return true;
}
