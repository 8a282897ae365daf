// The costly part of a pass, drawn at half the render size into a target of
// the pass's own before the pass's full-size draw. The renderer pays for
// every tap of every pixel, so a pass whose many taps give a smooth result
// gathers them here over a quarter of the pixels, and its full-size shader
// reads the gathered picture (bilinearly, from texture unit 1) with one tap.
#pragma once

#include <memory>

#include "effects/postproc/pass_info.h"

class FBO;
class ShaderProgram;

namespace Effects {

// Half of a render size, rounded up, at least 1.
int half_size(int full);

class HalfSizeStep {
public:
    // The gathering program: the pass's vertex shader with the fragment
    // shader "<folder>_gather.frag" of the pass's shader folder.
    explicit HalfSizeStep(const PassInfo& pass);
    ~HalfSizeStep();
    HalfSizeStep(const HalfSizeStep&) = delete;
    HalfSizeStep& operator=(const HalfSizeStep&) = delete;

    // Binds the gathering program with its projection; the caller sets its
    // other uniforms before `draw`.
    ShaderProgram& bind();
    // Draws `source` through the bound gathering program over the whole
    // half-size target, sized from the render size width x height.
    void draw(FBO* source, int width, int height);
    // The gathered picture on texture unit `unit`; leaves unit 0 active.
    void bind_result(int unit);

private:
    std::unique_ptr<ShaderProgram> program;
    std::unique_ptr<FBO> target;
};

}  // namespace Effects
