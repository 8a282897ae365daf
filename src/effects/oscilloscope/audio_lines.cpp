#include "effects/oscilloscope/audio_lines.h"

#include <cmath>

namespace Effects {

std::vector<LinePoint> oscilloscope_strip(const float* samples, int count, float offset) {
    std::vector<LinePoint> strip;
    for (int j = 0; j + 1 < count; j += 2)
        strip.push_back({static_cast<float>(j) / static_cast<float>(count),
                         (samples[j] + samples[j + 1]) * 0.75f + offset});
    return strip;
}

const std::array<SpectrumBand, kSpectrumBands>& spectrum_bands() {
    static const std::array<SpectrumBand, kSpectrumBands> bands = [] {
        std::array<SpectrumBand, kSpectrumBands> table{};
        int b0 = 0;
        for (int i = 0; i < kSpectrumBands; ++i) {
            int b1 = static_cast<int>(std::pow(2.0f, static_cast<float>(i) * 10.0f / 27.0f));
            if (b1 > kSpectrumBins - 1) b1 = kSpectrumBins - 1;
            if (b1 <= b0) b1 = b0 + 1;
            table[i] = {b0, b1};
            b0 = b1;
        }
        return table;
    }();
    return bands;
}

std::vector<LinePoint> spectrum_strip(const float* magnitudes) {
    std::vector<LinePoint> strip;
    for (int i = 0; i < kSpectrumBands; ++i) {
        const SpectrumBand& band = spectrum_bands()[i];
        float sum = 0.0f;
        for (int b = band.first; b < band.last; ++b) sum += magnitudes[b];
        float y = std::sqrt(sum / std::log10(static_cast<float>(band.n()))) * 1.2f;
        if (y > 1.0f) y = 1.0f;
        strip.push_back({static_cast<float>(i) / 27.0f, y});
    }
    return strip;
}

}  // namespace Effects
