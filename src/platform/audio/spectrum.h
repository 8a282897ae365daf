// FFT magnitudes of a song at a frame: the channels averaged into one
// signal, a Hann window over `size` frames, a real FFT (FFTW, single
// precision) and size / 2 magnitudes 2|X[k]| / size, k = 0 .. size/2 - 1.
// Bin k covers about k × rate / size Hz; a full-scale sine centred on a bin
// reads about 0.5 there. Frames past the end of the song count as silence,
// so a spectrum at or after the end is all zeros.
#pragma once

#include <cstdint>

#include "platform/audio/song.h"

namespace audio {

class Spectrum {
public:
    // The transform is planned once here; use the object on one thread.
    explicit Spectrum(int size);
    ~Spectrum();
    Spectrum(const Spectrum&) = delete;
    Spectrum& operator=(const Spectrum&) = delete;

    int size() const { return size_; }
    int bins() const { return size_ / 2; }
    // Writes bins() magnitudes.
    void compute(const Song& song, uint64_t start_frame, float* out);

private:
    int size_;
    float* window_;
    float* input_;
    void* output_;  // fftwf_complex[size / 2 + 1]
    void* plan_;    // fftwf_plan
};

}  // namespace audio
