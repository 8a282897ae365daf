#include "platform/audio/spectrum.h"

#include <fftw3.h>

#include <cmath>

namespace audio {

Spectrum::Spectrum(int size) : size_(size) {
    window_ = static_cast<float*>(fftwf_malloc(sizeof(float) * size));
    input_ = static_cast<float*>(fftwf_malloc(sizeof(float) * size));
    auto* output = static_cast<fftwf_complex*>(fftwf_malloc(sizeof(fftwf_complex) * (size / 2 + 1)));
    output_ = output;
    plan_ = fftwf_plan_dft_r2c_1d(size, input_, output, FFTW_ESTIMATE);
    const double pi = std::acos(-1.0);
    for (int n = 0; n < size; ++n)
        window_[n] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * pi * n / (size - 1)));
}

Spectrum::~Spectrum() {
    fftwf_destroy_plan(static_cast<fftwf_plan>(plan_));
    fftwf_free(output_);
    fftwf_free(input_);
    fftwf_free(window_);
}

void Spectrum::compute(const Song& song, uint64_t start_frame, float* out) {
    const uint64_t total = song.frames();
    const int channels = song.channels;
    for (int n = 0; n < size_; ++n) {
        const uint64_t frame = start_frame + n;
        float sum = 0.0f;
        if (frame < total && frame >= start_frame) {
            const float* values = song.samples.data() + frame * channels;
            for (int c = 0; c < channels; ++c) sum += values[c];
            sum /= static_cast<float>(channels);
        }
        input_[n] = sum * window_[n];
    }
    fftwf_execute(static_cast<fftwf_plan>(plan_));
    const auto* spectrum = static_cast<const fftwf_complex*>(output_);
    const float scale = 2.0f / static_cast<float>(size_);
    for (int k = 0; k < bins(); ++k)
        out[k] = scale * std::hypot(spectrum[k][0], spectrum[k][1]);
}

}  // namespace audio
