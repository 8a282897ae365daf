#include "system/zemblasystem.h"

#include "system/fatal.h"
#include "system/productions.h"

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
    const ProductionRow* row = find_production(ZemblaSystem::production);
    if (!row) FATAL_ERROR("Unknown scene set!");
    if (row->title) ZemblaSystem::title = row->title;
    else return;  // the compiled-in defaults are the production
    if (row->logo_file) ZemblaSystem::logo_file = row->logo_file;
    ZemblaSystem::loading_screen = row->loading_screen;
    ZemblaSystem::fade_time_ms = row->fade_time_ms;
    if (row->music_file) ZemblaSystem::music_file = row->music_file;
    if (row->bpm != 0.0f) ZemblaSystem::bpm = row->bpm;
}
