#include "effects/postproc/film.h"

#include "util/shaderprogram/shaderprogram.h"

namespace Effects {
namespace {

// Where the shader's clock starts: it runs this many beats ahead of the
// music, so at beat 0 it reads 999.9953. The clock only seeds the grain (a
// hash of the pixel and the clock's fraction); the value is the pass's own,
// kept so that the grain of every frame stays as it is.
constexpr float kGrainClockStart = 999.9953f;

}  // namespace

Film::Film(const PassInfo& row) : PostProc(row) {}

void Film::render(int, int, float time) {
    bind_with_projection();
    shader->set_uniform1f("time", time + kGrainClockStart);
    shader->set_uniform1f("Color", params[Color]);
    shader->set_uniform1f("Monochrome", params[Monochrome]);
    shader->set_uniform1f("BrownSepia", params[BrownSepia]);
    shader->set_uniform1f("GreenSepia", params[GreenSepia]);
    shader->set_uniform1f("BlueSepia", params[BlueSepia]);
    // The track holds the change of contrast: 0 is the picture's own.
    shader->set_uniform1f("Contrast", params[Contrast] + 1.0f);
    shader->set_uniform1f("Brightness", params[Brightness]);
    shader->set_uniform1f("FilmgrainAmount", params[FilmgrainAmount]);
    shader->set_uniform1f("ScanlineAmount", params[ScanlineAmount]);
}

}  // namespace Effects
