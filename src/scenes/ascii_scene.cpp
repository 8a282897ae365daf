#include "scenes/ascii_scene.h"

#include <algorithm>

#include "util/math/saturate.h"
#include "util/music/music.h"

bool paint_flash(AsciiScreen& screen, int flash) {
    if (flash <= 0) return false;
    const uint8_t colour = flash == 1 ? 8 : flash == 2 ? 7 : 15;
    screen.fill(' ', colour, colour);
    return true;
}

void flash_background(AsciiScreen& screen, int flash) {
    if (!paint_flash(screen, flash)) screen.clear();
}

int track_cells(float value) {
    constexpr int32_t kLimit = 1000000;
    return std::clamp(saturate_int(value), -kLimit, kLimit);
}

void AsciiScene::resize(int w, int h) {
    Scene::resize(w, h);
    engine.letterbox(w, h, 4.0f / 3.0f);
}

int AsciiScene::flash() { return track_cells(music->get_sync_value("flash")); }
