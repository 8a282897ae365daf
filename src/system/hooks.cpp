#include "system/hooks.h"

void pre_dialog_hook() {}
void pre_window_hook() {}
void post_load_hook() {}
