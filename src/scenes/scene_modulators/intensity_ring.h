// The note monitor's samples: for every note of every note track, a ring of
// 512 intensities 0.02 beats apart, reaching 5.12 beats ahead of the
// current beat and 5.12 behind it. A sample is computed once, when it
// enters the window; when the beat jumps back, the ring walks back sample
// by sample, computing the old end anew.
#pragma once

#include <functional>
#include <string>
#include <vector>

class IntensityRing {
public:
    static constexpr int kSamples = 512;
    static constexpr float kStep = 0.02f;
    // How far the newest sample runs ahead of the current beat.
    static constexpr float kAhead = kSamples / 2 * kStep;  // 5.12
    static constexpr float kWindow = kSamples * kStep;     // 10.24

    // The intensities of every note of a track at a beat, in note order.
    using Sampler = std::function<std::vector<float>(int track, float beat)>;

    // One ring per track with that many notes; no sample computed yet.
    explicit IntensityRing(const std::vector<int>& notes_per_track);

    // Computes the samples that moving to `beat` brings into the window.
    // A jump of more than the window computes only the samples that stay
    // in it (the others would be overwritten before anyone saw them); a beat
    // that is not finite changes nothing.
    void advance(float beat, const Sampler& sampler);

    // Note `note` of track `track`, `back` samples before the newest: 0
    // where nothing has been computed yet.
    float sample(int track, int note, int back) const;

    int tracks() const { return static_cast<int>(rows_.size()); }
    int notes(int track) const { return notes_[static_cast<size_t>(track)]; }
    float cursor() const { return cursor_; }
    int ring_index() const { return ring_index_; }

private:
    void store(int slot, float beat, const Sampler& sampler);

    std::vector<int> notes_;
    std::vector<std::vector<float>> rows_;  // sample s of note j at j * 512 + s
    int ring_index_ = 0;                    // the newest sample, 0..511
    float cursor_ = 0.0f;                   // its beat
};

// A track's label: its number right-aligned in two characters, a colon, a
// blank and its name.
std::string modulator_label(int track, const std::string& name);

// The vertices (x, y pairs) of a note's curve in a row whose baseline is at
// `base`: x 511 is the newest sample, x 0 the oldest, an intensity of 1
// reaches 0.9 of the row. The fill is a strip between baseline and curve;
// the line runs from the baseline at the right along the curve to the
// baseline at the left.
std::vector<float> curve_fill(const IntensityRing& ring, int track, int note, float base);
std::vector<float> curve_line(const IntensityRing& ring, int track, int note, float base);
