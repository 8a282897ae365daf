// Motion-blur pass: blends the current image with a ring of earlier ones,
// older images weighing less. Parameters "Frames" (images in the blend,
// 2..64 and no more than the fragment stage has texture units), "Strength"
// (factor on the weighted history) and "Delay" (beats before the ring moves
// on to a new slot).
//
// It follows the pass interface (update copies every incoming image into
// the ring, render binds a generated blend program that reads it), but it is
// not a row of the pass registry: the scene manager creates exactly the
// registry's passes in every run and gives every production a track file
// for each of their parameters, and no production uses this one. A scene or
// test that wants it creates it and calls update and render itself.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "effects/effect.h"

class FBO;
class ShaderConstructor;

namespace Effects {

// Images in the blend: Frames truncated, at least 2, at most 64 and at most
// the texture units the fragment stage has (unit 0 takes the current image,
// units 1.. the history).
int motionblur_frame_count(float frames, int texture_units);

// Whether the ring moves to a new slot at `time`: when time runs backwards
// or more than `delay` beats have passed since the last move.
bool motionblur_advances(float time, float last_advance_time, float delay);

// The generated programs: "EffectsMotionblur" for n images (samplers
// "shadow1".."shadow<n-1>" weighted 1 - j/n, times MotionblurParams.y, plus
// "image" at full weight) and the copy program "EffectsMotionblurTexrender".
// Both read the unit-square quad the frame loop and FBO::draw feed.
std::unique_ptr<ShaderConstructor> make_motionblur_blend(int frames);
std::unique_ptr<ShaderConstructor> make_motionblur_copy();

class Motionblur : public PostProc {
public:
    // Frames 4, Strength 1, Delay 0 (a new slot every frame).
    Motionblur();
    ~Motionblur() override;

    // Brings the programs and the ring up to date with "Frames".
    void prepare();
    // Copies `source` into the ring (moving on to a new slot when due).
    void update(int width, int height, float time, FBO* source) override;
    // Binds the blend program with the history on units 1..n-1; the frame
    // loop's draw of the source puts the current image on unit 0.
    void render(int width, int height, float time) override;

    int get_num_frames() const { return num_frames; }
    int get_current() const { return current; }
    size_t get_history_size() const { return history.size(); }
    // The ring's last move, shared by every motion-blur pass of the run.
    static float last_advance_time;

    // Each history image is this wide and high.
    static constexpr int kHistorySize = 512;

private:
    std::unique_ptr<ShaderProgram> texrender_shader;
    std::vector<std::unique_ptr<FBO>> history;
    int num_frames = 0;
    int current = 0;
};

}  // namespace Effects
