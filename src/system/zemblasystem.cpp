#include "system/zemblasystem.h"

#include "system/fatal.h"

// Compiled-in defaults that a build may override for development and tests.
#ifndef ZEMBLA_DATA_MODE
#define ZEMBLA_DATA_MODE 1
#endif
#ifndef ZEMBLA_SYNC_CLIENT
#define ZEMBLA_SYNC_CLIENT 0
#endif

int ZemblaSystem::width = -1;
int ZemblaSystem::height = -1;
int ZemblaSystem::fullscreen = 1;
int ZemblaSystem::vsync = 1;
int ZemblaSystem::samples = 4;
int ZemblaSystem::aspect_numerator = 16;
int ZemblaSystem::aspect_denominator = 9;
float ZemblaSystem::volume = 1.0f;
float ZemblaSystem::bpm = 75.0f;
float ZemblaSystem::beat_offset = 0.0f;
int ZemblaSystem::data_mode = ZEMBLA_DATA_MODE;
const char* const ZemblaSystem::data_file = "data.tlx";
int ZemblaSystem::sync_client = ZEMBLA_SYNC_CLIENT;
char ZemblaSystem::sync_host[256] = "127.0.0.1";
bool ZemblaSystem::get_avi = false;
bool ZemblaSystem::quitting = false;

std::string ZemblaSystem::title = "Internal debugging";
std::string ZemblaSystem::music_file;
std::string ZemblaSystem::logo_file;
int ZemblaSystem::loading_screen = 0;
int ZemblaSystem::fade_time_ms = 0;

void* ZemblaSystem::hInstance = nullptr;
SDL_Window* ZemblaSystem::hWnd = nullptr;
SDL_Window* ZemblaSystem::hDC = nullptr;
void* ZemblaSystem::hRC = nullptr;

void configure_production() {
    switch (ZemblaSystem::production) {
        case PRODUCTION_DEBUG:
            break;
        case PRODUCTION_BRISKEN:
            ZemblaSystem::title = "Wembrel - brisken";
            ZemblaSystem::logo_file = "";
            ZemblaSystem::loading_screen = 2;
            ZemblaSystem::fade_time_ms = 1000;
            ZemblaSystem::music_file = "data/music/Krestel_-_Brisken.mp3";
            ZemblaSystem::bpm = 75.0f;
            break;
        case PRODUCTION_PELLTIDE:
            ZemblaSystem::title = "Pelltide";
            ZemblaSystem::logo_file = "data/common/images/orvenhal_logo_16_9.png";
            ZemblaSystem::loading_screen = 0;
            ZemblaSystem::fade_time_ms = 500;
            ZemblaSystem::music_file = "data/music/grovelight_bassintro.xml";
            break;
        case PRODUCTION_QUENDLE:
            ZemblaSystem::title = "Quendle";
            ZemblaSystem::loading_screen = 1;
            ZemblaSystem::fade_time_ms = 0;
            ZemblaSystem::music_file = "data/music/quendle.xml";
            ZemblaSystem::bpm = 155.0f;
            break;
        case PRODUCTION_TIDEWELL:
            ZemblaSystem::title = "Wembrel - tidewell";
            ZemblaSystem::logo_file = "";
            ZemblaSystem::loading_screen = 2;
            ZemblaSystem::fade_time_ms = 1000;
            ZemblaSystem::music_file = "data/music/Krestel_-_Tidewell.mp3";
            ZemblaSystem::bpm = 128.0f;
            break;
        case PRODUCTION_KORRIN:
            ZemblaSystem::title = "Orvenhal Korrin System";
            ZemblaSystem::logo_file = "data/common/images/orvenhal_logo_16_9.png";
            ZemblaSystem::loading_screen = 0;
            ZemblaSystem::fade_time_ms = 500;
            ZemblaSystem::music_file = "data/music/orvenhal-korrin-system-15.mp3";
            ZemblaSystem::bpm = 138.0f;
            break;
        default:
            FATAL_ERROR("Unknown scene set!");
    }
}
