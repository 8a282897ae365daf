// The arithmetic of the audio displays, without GL: the oscilloscope's
// line strip from interleaved stereo samples and the spectrum's 28
// logarithmically spaced bands.
#pragma once

#include <array>
#include <vector>

namespace Effects {

struct LinePoint {
    float x, y;
};

// One vertex per stereo pair j, j + 1 (j even, both inside `count`):
// x = j / count, y = (left + right) x 0.75 + offset. An odd last sample has
// no partner and is left out.
std::vector<LinePoint> oscilloscope_strip(const float* samples, int count, float offset);

constexpr int kSpectrumBins = 1024;
constexpr int kSpectrumBands = 28;

// Band i sums bins first .. last - 1 and divides by log10(last + 10 - first).
struct SpectrumBand {
    int first, last;
    int n() const { return last + 10 - first; }
};

// The 28 bands: last = 2^(i x 10 / 27) in single precision, truncated, at
// most 1023 and always past the previous band's last.
const std::array<SpectrumBand, kSpectrumBands>& spectrum_bands();

// Vertex i at (i / 27, min(1, sqrt(sum / log10(n)) x 1.2)) for the 1024
// magnitudes of a 2048-sample transform.
std::vector<LinePoint> spectrum_strip(const float* magnitudes);

}  // namespace Effects
