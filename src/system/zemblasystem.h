// Process-wide settings: compiled-in defaults, the selected production's
// values, and the handles of the window and its OpenGL context.
#pragma once

#include <string>

struct SDL_Window;

class ZemblaSystem {
public:
    ZemblaSystem() = delete;

    // Which production this executable plays: the id of its row of the
    // production table (system/productions.h). Each executable links its own
    // definition (src/system/production_id.cpp compiled with its id).
    static int production;

    static int width;
    static int height;
    static int fullscreen;
    static int vsync;
    static int samples;
    static int aspect_numerator;
    static int aspect_denominator;
    static float volume;
    static float bpm;
    static float beat_offset;
    static int data_mode;
    static const char* const data_file;
    static int sync_client;
    static char sync_host[256];
    static bool get_avi;
    static bool quitting;

    // The selected production.
    static std::string title;
    static std::string music_file;
    static std::string logo_file;
    static int loading_screen;
    static int fade_time_ms;

    // The window and its OpenGL context; null until the window exists.
    static void* hInstance;
    static SDL_Window* hWnd;
    static SDL_Window* hDC;
    static void* hRC;
};

// Sets the selected production's title, soundtrack, logo, loading-screen
// style, fade time and tempo from its row of the production table
// (system/productions.h); an unknown id ends the run.
void configure_production();
