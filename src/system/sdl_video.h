// SDL's video layer, shared by the setup dialog and the window.
#pragma once

// Initialises SDL's video layer once per process (later calls only report
// whether it is up). SDL_Quit runs at exit, so a changed display mode is put
// back however the process ends.
bool sdl_video_init();
