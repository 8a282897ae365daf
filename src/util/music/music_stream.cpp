// The soundtrack side of the music object: loading the song named by the
// music file and the clock operations on its play stream. Timer mode never
// reaches these.
#include "system/fatal.h"
#include "util/music/music.h"

namespace {

[[noreturn]] void no_soundtrack(const std::string& file) {
    FATAL_ERROR("Cannot play " << file << ": this build has no soundtrack playback");
}

}  // namespace

void Music::load_stream(const std::string& file) { no_soundtrack(file); }
void Music::load_xml(const std::string& file) { no_soundtrack(file); }

float Music::stream_get_time() { return 0.0f; }
uint32_t Music::stream_get_position() { return 0; }
void Music::stream_set_position(uint32_t) {}
uint32_t Music::stream_seconds_to_position(double) { return 0; }
void Music::stream_set_time(float) {}
int32_t Music::stream_get_length() { return 0; }
void Music::stream_start() {}
void Music::stream_play() {}
void Music::stream_pause() {}
bool Music::stream_is_playing() { return false; }
void Music::stream_set_volume(float) {}
void Music::stream_release() {}
