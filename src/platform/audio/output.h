// The default sound device, fed by one play stream through SDL audio.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace audio {

class Stream;

class Output {
public:
    // Opens the default device at the stream's rate and channel count (SDL
    // converts when the device differs) and starts pulling sound from the
    // stream. Null, with SDL's reason in `error`, when there is no device.
    static std::unique_ptr<Output> open(Stream& stream, std::string& error);
    ~Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

private:
    explicit Output(uint32_t device) : device_(device) {}
    uint32_t device_;
};

}  // namespace audio
