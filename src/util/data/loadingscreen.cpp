#include "util/data/loadingscreen.h"

#include "util/data/data.h"

namespace LoadingScreen {

void setup(int, int, float) {}
void load_logo() {}

void tick(float, bool) {
    if (DataFile::loading_finished()) return;
}

void fade_out() { DataFile::set_loading_finished(true); }

}  // namespace LoadingScreen
