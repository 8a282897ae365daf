// Modulators: a monitor of the note data. One row per note track; in each,
// every note's intensity (its held state shaped by the track's modulators)
// as a filled curve over 10.24 beats, the past on the left, the coming beats
// on the right, a line at the present; each row labelled with its track's
// number and name, the label's height pulsing with the track's strongest
// note (intensity_ring.h). No sync tracks.
#pragma once

#include <memory>

#include "scenes/scene.h"
#include "scenes/scene_modulators/intensity_ring.h"
#include "util/easydraw/easydrawcustom.h"

class ShaderProgram;
class Text;

class Modulators : public Scene {
public:
    Modulators();
    ~Modulators() override;

    void init() override;
    void draw() override;
    // Viewport and the fixed-function projection of the labels, one unit a
    // row; it leaves the scissor alone.
    void resize(int width, int height) override;
    // It draws only into the target bound for it and leaves the scissor
    // box alone: the frame loop may draw it only where the passes read (the
    // show folds it in a kaleidoscope, which reads one wedge).
    bool draws_in_scissor_box() const override { return true; }

    const IntensityRing& ring() const { return *ring_; }

private:
    void draw_strip(const std::vector<float>& vertices, GLenum mode);

    std::unique_ptr<IntensityRing> ring_;
    std::unique_ptr<Text> text;
    std::unique_ptr<ShaderProgram> curve_program;
    EasyDrawObject shape;
};
