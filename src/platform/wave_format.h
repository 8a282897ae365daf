// The audio format record that the soundtrack loader fills and the AVI writer
// stores as the format of its audio stream: the fields of a WAVEFORMATEX, in
// file order. On disk it is 18 little-endian bytes (see `write_wave_format`).
#pragma once

#include <cstdint>

struct WAVEFORMATEX {
    uint16_t wFormatTag = 0;       // 1 = PCM
    uint16_t nChannels = 0;
    uint32_t nSamplesPerSec = 0;
    uint32_t nAvgBytesPerSec = 0;
    uint16_t nBlockAlign = 0;      // bytes per sample frame
    uint16_t wBitsPerSample = 0;
    uint16_t cbSize = 0;           // extra bytes after the record; always 0 here
};

constexpr uint16_t WAVE_FORMAT_PCM = 1;
constexpr int WAVEFORMATEX_BYTES = 18;

// The record's 18 bytes as stored in a file.
inline void write_wave_format(const WAVEFORMATEX& f, uint8_t out[WAVEFORMATEX_BYTES]) {
    auto put16 = [&](int at, uint16_t v) {
        out[at] = static_cast<uint8_t>(v);
        out[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    auto put32 = [&](int at, uint32_t v) {
        put16(at, static_cast<uint16_t>(v));
        put16(at + 2, static_cast<uint16_t>(v >> 16));
    };
    put16(0, f.wFormatTag);
    put16(2, f.nChannels);
    put32(4, f.nSamplesPerSec);
    put32(8, f.nAvgBytesPerSec);
    put16(12, f.nBlockAlign);
    put16(14, f.wBitsPerSample);
    put16(16, f.cbSize);
}
