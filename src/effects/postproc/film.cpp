#include "effects/postproc/film.h"

#include "effects/postproc/pass_info.h"
#include "util/shaderprogram/shaderprogram.h"

namespace Effects {
namespace {

// Where the shader's clock starts: it runs this many beats ahead of the
// music, so at beat 0 it reads 999.9953. The clock only seeds the grain (a
// hash of the pixel and the clock's fraction); the value is the pass's own,
// kept so that the grain of every frame stays as it is.
constexpr float kGrainClockStart = 999.9953f;

}  // namespace

Film::Film(const PassInfo& row)
    : PostProc(row),
      tone_shader(std::make_unique<ShaderProgram>(pass_shader_path(row, ".vert"), pass_shader_path(row, "_tone.frag"))) {}

Film::~Film() = default;

void Film::render(int, int, float time) {
    // Grain and scanlines at 0 add 0 and multiply by 1: the same pixels.
    const bool tone_only = params[FilmgrainAmount] == 0.0f && params[ScanlineAmount] == 0.0f;
    ShaderProgram& program = tone_only ? *tone_shader : *shader;
    bind_with_projection(program);
    program.set_uniform1f("Color", params[Color]);
    program.set_uniform1f("Monochrome", params[Monochrome]);
    program.set_uniform1f("BrownSepia", params[BrownSepia]);
    program.set_uniform1f("GreenSepia", params[GreenSepia]);
    program.set_uniform1f("BlueSepia", params[BlueSepia]);
    // The track holds the change of contrast: 0 is the picture's own.
    program.set_uniform1f("Contrast", params[Contrast] + 1.0f);
    program.set_uniform1f("Brightness", params[Brightness]);
    if (tone_only) return;
    program.set_uniform1f("time", time + kGrainClockStart);
    program.set_uniform1f("FilmgrainAmount", params[FilmgrainAmount]);
    program.set_uniform1f("ScanlineAmount", params[ScanlineAmount]);
}

}  // namespace Effects
