// A texture added onto the bound target with a radial blur toward an
// origin, through "data/effects/radialblur/radialblur.vert" with
// "radialblur_origin.frag" (weighted by an intensity) or
// "radialblur_origin_iterations.frag" (a number of taps). The blur's origin,
// step and intensity or iterations go in the vec4 "RadialBlurParams".
#pragma once

#include <memory>

#include "effects/effect.h"
#include "util/math/vector.h"

class ShaderProgram;
class Texture;

namespace Effects {

// How the taps are weighed: by an intensity (the default) or by their
// number. Asking for both at once is refused.
struct RadialBlurWeighting {
    bool intensity = false;
    bool iterations = false;
};

class RadialBlur : public Effect {
public:
    explicit RadialBlur(RadialBlurWeighting weighting = {});
    ~RadialBlur() override;

    // The picture to blur (borrowed); render without one ends the run.
    void set_texture(Texture* t) { texture = t; }
    // Adds the blurred texture over the unit square of the bound target, in
    // the current colour. Leaves blending on (one, one) and the depth test
    // off. `time` is not used.
    void render(float time) override;

    bool uses_iterations() const { return use_iterations; }

    float origin_x = 0.5f, origin_y = 0.5f;
    float step = 0.9f;        // each tap this much nearer the origin
    float iterations = 8.0f;  // taps, in the iterations weighting
    float intensity = 1.0f;   // strength, in the intensity weighting
    vec4 colour = vec4(1.0f, 1.0f, 1.0f, 1.0f);

private:
    std::unique_ptr<ShaderProgram> origin_shader;
    std::unique_ptr<ShaderProgram> iterations_shader;
    bool use_iterations = false;
    Texture* texture = nullptr;
};

}  // namespace Effects
