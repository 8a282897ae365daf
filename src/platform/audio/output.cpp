#include "platform/audio/output.h"

#include <SDL.h>
#include <alsa/asoundlib.h>

#include "platform/audio/stream.h"

namespace audio {
namespace {

// The ALSA library prints lines of its own to the console while SDL looks
// for a device ("cannot find card '0'", "Unknown PCM default" on a machine
// without sound); they say nothing that the device error SDL reports, which
// the caller logs in one line, does not. SDL loads the same library, so
// this handler is the one it uses.
void quiet_alsa(const char*, int, const char*, int, const char*, ...) {}

void pull(void* userdata, Uint8* bytes, int length) {
    auto* stream = static_cast<Stream*>(userdata);
    const int frame_bytes = static_cast<int>(sizeof(float)) * stream->song().channels;
    stream->render(reinterpret_cast<float*>(bytes), length / frame_bytes);
}

}  // namespace

std::unique_ptr<Output> Output::open(Stream& stream, std::string& error) {
    snd_lib_error_set_handler(quiet_alsa);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = SDL_GetError();
        return nullptr;
    }
    SDL_AudioSpec want{};
    want.freq = stream.song().rate;
    want.format = AUDIO_F32SYS;
    want.channels = static_cast<Uint8>(stream.song().channels);
    want.samples = 1024;
    want.callback = pull;
    want.userdata = &stream;
    SDL_AudioSpec got{};
    SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &got, 0);
    if (device == 0) {
        error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    SDL_PauseAudioDevice(device, 0);  // the stream itself decides between sound and silence
    return std::unique_ptr<Output>(new Output(device));  // not make_unique: the constructor is private
}

Output::~Output() {
    SDL_CloseAudioDevice(device_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace audio
