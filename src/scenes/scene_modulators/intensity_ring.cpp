#include "scenes/scene_modulators/intensity_ring.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

IntensityRing::IntensityRing(const std::vector<int>& notes_per_track) : notes_(notes_per_track) {
    for (int n : notes_)
        rows_.emplace_back(static_cast<size_t>(n < 0 ? 0 : n) * kSamples, std::numeric_limits<float>::quiet_NaN());
}

void IntensityRing::store(int slot, float beat, const Sampler& sampler) {
    for (size_t m = 0; m < rows_.size(); ++m) {
        const std::vector<float> values = sampler(static_cast<int>(m), beat);
        for (size_t j = 0; j < values.size() && static_cast<int>(j) < notes_[m]; ++j)
            rows_[m][j * kSamples + static_cast<size_t>(slot)] = values[j];
    }
}

void IntensityRing::advance(float beat, const Sampler& sampler) {
    if (!std::isfinite(beat)) return;
    const float target = beat + kAhead;
    // A jump longer than the ring: move straight to where the last 512
    // samples of the walk begin; only those would be kept, so the result is
    // the same. `steps` is how many the walk would take, `direction` +1 or -1.
    auto skip = [&](double steps, int direction) {
        if (steps <= kSamples + 2) return;
        const int n = (static_cast<int>(std::min(steps, 1e9)) - kSamples - 1) * direction;
        cursor_ += static_cast<float>(n * static_cast<double>(kStep));
        ring_index_ = ((ring_index_ + n) % kSamples + kSamples) % kSamples;
    };
    skip((static_cast<double>(cursor_) - target) / kStep, -1);
    // Bounded as well: far out, a float beat no longer moves by one step.
    for (int n = 0; cursor_ > target && n < kSamples + 4; ++n) {
        cursor_ -= kStep;
        ring_index_ = (ring_index_ + kSamples - 1) % kSamples;
        store((ring_index_ + 1) % kSamples, cursor_ - kWindow, sampler);
    }
    skip((static_cast<double>(target) - cursor_) / kStep, +1);
    for (int n = 0; kStep < target - cursor_ && n < kSamples + 4; ++n) {
        cursor_ += kStep;
        ring_index_ = (ring_index_ + 1) % kSamples;
        store(ring_index_, cursor_, sampler);
    }
}

float IntensityRing::sample(int track, int note, int back) const {
    const int slot = ((ring_index_ - back) % kSamples + kSamples) % kSamples;
    const float v = rows_[static_cast<size_t>(track)][static_cast<size_t>(note) * kSamples + static_cast<size_t>(slot)];
    return std::isnan(v) ? 0.0f : v;
}

std::string modulator_label(int track, const std::string& name) {
    char number[16];
    std::snprintf(number, sizeof number, "%2i: ", track);
    return number + name;
}

std::vector<float> curve_fill(const IntensityRing& ring, int track, int note, float base) {
    std::vector<float> v;
    v.reserve(IntensityRing::kSamples * 4);
    for (int n = 0; n < IntensityRing::kSamples; ++n) {
        const float x = static_cast<float>(IntensityRing::kSamples - 1 - n);
        v.insert(v.end(), {x, base + 0.9f * ring.sample(track, note, n), x, base});
    }
    return v;
}

std::vector<float> curve_line(const IntensityRing& ring, int track, int note, float base) {
    std::vector<float> v{static_cast<float>(IntensityRing::kSamples - 1), base};
    for (int n = 0; n < IntensityRing::kSamples; ++n)
        v.insert(v.end(), {static_cast<float>(IntensityRing::kSamples - 1 - n), base + 0.9f * ring.sample(track, note, n)});
    v.insert(v.end(), {0.0f, base});
    return v;
}
