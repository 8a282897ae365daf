// Soundtrack decoding on arbitrary bytes: refused or decoded, never a crash,
// and a decoded song is whole frames at a real rate.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/audio/song.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    audio::Song song;
    std::string error;
    if (audio::decode(data, size, song, error)) {
        if (song.rate <= 0 || song.channels <= 0 || song.samples.size() % song.channels != 0) std::abort();
        audio::to_pcm16(song.samples);
    } else if (error.empty()) {
        std::abort();
    }
    return 0;
}
