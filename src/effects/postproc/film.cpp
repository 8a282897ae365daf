#include "effects/postproc/film.h"

#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

Film::Film(const PassInfo& row) : PostProc(row) {}

void Film::render(int, int, float time) {
    bind_with_projection();
    shader->set_uniform1f("time", time + 999.9953f);
    shader->set_uniform1f("Color", params[0]);
    shader->set_uniform1f("Monochrome", params[1]);
    shader->set_uniform1f("BrownSepia", params[2]);
    shader->set_uniform1f("GreenSepia", params[3]);
    shader->set_uniform1f("BlueSepia", params[4]);
    // The track holds the change of contrast: 0 is the picture's own.
    shader->set_uniform1f("Contrast", params[5] + 1.0f);
    shader->set_uniform1f("Brightness", params[6]);
    shader->set_uniform1f("FilmgrainAmount", params[7]);
    shader->set_uniform1f("ScanlineAmount", params[8]);
}

}  // namespace Effects
