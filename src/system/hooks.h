// Empty hooks at fixed points of the run: before the setup dialog, before the
// window, and once everything is loaded (the end of the scene manager's
// constructor; the camera driver calls it too). Declared here, below the
// program layer, so that the layers that call them need not include it.
#pragma once

void pre_dialog_hook();
void pre_window_hook();
void post_load_hook();
