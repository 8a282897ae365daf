// The feedback fire: each call runs the previous result through one of four
// fragment programs (fire, smoke, milk or grey, chosen by the mode) into the
// other of two render targets, with an optional picture and the spark
// picture, then shows the new result tinted by a colour in the bound target.
// The two targets alternate every call and are never cleared by the
// effect, so the feedback carries over from call to call.
//
// Resources: "data/effects/firesl/firesl.vert" shared by the four programs,
// "firesl.frag", "smokesl.frag", "milk.frag" and "gray.frag" (modes 0 to 3)
// and the spark picture "flames.jpg" in the same folder. The programs read
// the previous result from unit 0, the picture from unit 1 and the sparks
// from unit 2.
#pragma once

#include <array>
#include <memory>

#include "effects/effect.h"
#include "util/math/vector.h"

class FBO;
class ShaderProgram;
class Texture;

namespace Effects {

enum FireMode { FIRE = 0, SMOKE = 1, MILK = 2, GRAY = 3 };

class Fire : public Effect {
public:
    // Feedback targets of width x height, cleared to black once.
    Fire(int width, int height);
    ~Fire() override;
    Fire(const Fire&) = delete;
    Fire& operator=(const Fire&) = delete;

    // 0 to 3; another value ends the run ("Invalid fire mode " + value).
    void set_mode(int mode);
    // A picture that feeds the fire (borrowed; null for none).
    void set_image(Texture* image) { image_texture = image; }

    // One feedback step into the other target. Leaves blending on (source
    // alpha, one minus source alpha), units 1 and 2 empty.
    void update(float time);
    // A step, then the newest result over the unit square of the bound
    // target through "EffectsFire", tinted by `colour`.
    void render(float time) override;

    int get_current() const { return current; }
    FBO* get_target(int index) { return fbos[index].get(); }

    float image_factor = 0.0f;        // how strongly the picture feeds the fire
    float image_shinethrough = 0.0f;  // how much of the picture shows through it
    float spark_pct = 0.5f;           // share of the bottom edge that sparks
    vec4 colour = vec4(1.0f, 1.0f, 1.0f, 1.0f);

private:
    std::array<std::unique_ptr<ShaderProgram>, 4> programs;
    std::unique_ptr<ShaderProgram> display_program;
    std::unique_ptr<Texture> spark_texture;
    Texture* image_texture = nullptr;
    std::array<std::unique_ptr<FBO>, 2> fbos;
    int current = 0;
    int mode = FIRE;
};

}  // namespace Effects
