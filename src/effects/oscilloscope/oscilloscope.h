// The audio displays: the soundtrack itself drawn as lines, with the fixed
// function pipeline. Oscilloscope draws the current waveform, one strip per
// line, into a render target of its own; SpectrumBands draws the current
// spectrum as one strip of 28 bands into whatever target is bound. Both
// read the audio through the music object they are given (borrowed).
#pragma once

#include <memory>
#include <vector>

#include "effects/effect.h"
#include "util/math/vector.h"

class FBO;
class Music;

namespace Effects {

class Oscilloscope : public Effect {
public:
    // Lines are drawn into a single-sampled target of width x height.
    Oscilloscope(Music* music, int width, int height);
    ~Oscilloscope() override;

    // A line of `count` samples (interleaved stereo, so an even count) in
    // `colour`, around y = offset in the target's -1..1. A count that cannot
    // be allocated ends the run.
    void add_line(int count, const vec4& colour, float offset);
    // Clears the target and draws every line into it; with no line yet it
    // first adds 1024 samples in yellow at offset 0. Replaces the projection
    // and modelview matrices. `time` is not used.
    void render(float time) override;

    FBO* get_fbo() { return fbo.get(); }
    size_t line_count() const { return buffers.size(); }

private:
    std::unique_ptr<FBO> fbo;
    std::vector<std::vector<float>> buffers;
    std::vector<int> counts;
    std::vector<vec4> colours;
    std::vector<float> offsets;
    Music* music;
};

class SpectrumBands : public Effect {
public:
    explicit SpectrumBands(Music* music) : music(music) {}
    // One white strip of the 28 bands over x 0..1, y 0..1 of the bound
    // target. Replaces the projection and modelview matrices.
    void render(float time) override;

private:
    Music* music;
};

}  // namespace Effects
