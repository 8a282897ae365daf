// The costly part of a pass, drawn at a fraction of the render size into a
// target of the pass's own before the pass's full-size draw. The renderer
// pays for every tap of every pixel, so a pass whose many taps give a smooth
// result gathers them here over a half (a quarter of the pixels) or a
// quarter (a sixteenth) of each side, and its full-size shader reads the
// gathered picture (bilinearly, from texture unit 1) with one tap. A pass
// can gather in rounds, each reading the one before at the same size.
#pragma once

#include <memory>

#include "effects/postproc/pass_info.h"

class FBO;
class ShaderProgram;

namespace Effects {

// A render size divided by `divisor`, rounded up, at least 1.
int reduced_size(int full, int divisor);

class GatherStep {
public:
    // The gathering program: the pass's vertex shader with the fragment
    // shader "<folder>_gather.frag" of the pass's shader folder.
    explicit GatherStep(const PassInfo& pass);
    ~GatherStep();
    GatherStep(const GatherStep&) = delete;
    GatherStep& operator=(const GatherStep&) = delete;

    // Binds the gathering program with its projection; the caller sets its
    // other uniforms before `draw`.
    ShaderProgram& bind();
    // Draws `source` through the bound gathering program over the whole
    // gathering target, the render size width x height divided by
    // `divisor` on each side.
    void draw(FBO* source, int width, int height, int divisor);
    // Draws what the last `draw` or `draw_again` gathered through the bound
    // gathering program into a target of the same size, whose picture is
    // then the gathered one.
    void draw_again();
    // The gathered picture on texture unit `unit`; leaves unit 0 active.
    void bind_result(int unit);

private:
    std::unique_ptr<ShaderProgram> program;
    // The gathered picture, and the target the next round draws into.
    std::unique_ptr<FBO> target;
    std::unique_ptr<FBO> next;
};

}  // namespace Effects
