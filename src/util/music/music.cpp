#include "util/music/music.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>

#include "platform/message_box.h"
#include "platform/ticks.h"
#include "system/fatal.h"
#include "system/zemblasystem.h"
#include "util/data/data.h"
#include "util/math/saturate.h"
#include "util/music/modulators/modulator.h"
#include "util/music/notedata.h"

Music* current_music = nullptr;

int Music::sync_port = 1338;
const char* const Music::reconnect_host = "localhost";

namespace {

const SyncCallbacks kSyncCallbacks = {sync_cb_pause, sync_cb_set_row, sync_cb_is_playing};
const char kTrackFolder[] = "data/sync_tracker/";

// A millisecond count as a clock value, saturated to the clock's range.
int32_t clamp_ms(double ms) { return std::max(0, saturate_int(ms)); }

}  // namespace

// A shorter name is its own "extension", so it is refused like any unknown
// format.
std::string Music::lower_extension(const std::string& file) {
    std::string ext = file.size() < 4 ? file : file.substr(file.size() - 4);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

Music::Music() {
    dummy_mode = true;
    dummy_ms = 0;
    last_tick = 0;
    bpm = ZemblaSystem::bpm;
    beat_offset = ZemblaSystem::beat_offset;
    notes = nullptr;
    paused = false;
    dumping = ZemblaSystem::get_avi;
    u16_buffer = nullptr;

    const std::string file = ZemblaSystem::music_file;
    if (!file.empty()) {
        dummy_mode = false;
        std::string ext = lower_extension(file);
        if (ext == ".mp3" || ext == ".ogg")
            load_stream(file);
        else if (ext == ".xml")
            load_xml(file);
        else
            FATAL_ERROR("Music format " << ext << " not supported");
    }

    current_music = this;
    rows_per_beat = 8;

    sync_client = ZemblaSystem::sync_client;
    sync_device = SyncDevice::create(kTrackFolder, sync_client);
    if (!sync_device) FATAL_ERROR("Failed to create sync device!");
    if (sync_client == 0) sync_device->set_io_callbacks({archive_io_open, archive_io_read, archive_io_close});
    if (sync_device->connect(ZemblaSystem::sync_host, sync_port) != 0)
        FATAL_ERROR("Sync tracker failed to connect to host " << ZemblaSystem::sync_host << ":" << sync_port);
}

Music::~Music() {
    if (sync_device && sync_device->save_all() != 0)
        platform::show_message_box("Failed to save sync tracks!",
                                   "Failed to save sync tracks, check your directory structure!",
                                   platform::MessageBoxKind::Plain);
    sync_device.reset();
    if (!dummy_mode) stream_release();
    if (current_music == this) current_music = nullptr;
}

float Music::get_time() {
    if (dummy_mode) return static_cast<float>(dummy_ms / 1000.0);
    return stream_get_time();
}

float Music::get_beats() {
    double seconds = get_time();
    return static_cast<float>(static_cast<double>(bpm) * (seconds / 60.0) + beat_offset);
}

double Music::get_row() {
    double seconds = get_time();
    return seconds * (static_cast<double>(bpm) / 60.0 * rows_per_beat);
}

uint32_t Music::get_position() {
    if (dummy_mode) return static_cast<uint32_t>(dummy_ms);
    return stream_get_position();
}

void Music::set_position(uint32_t position) {
    if (dummy_mode)
        dummy_ms = static_cast<int32_t>(position);
    else
        stream_set_position(position);
}

void Music::set_time(float seconds) {
    if (seconds < 0.0f) seconds = 0.0f;
    if (dummy_mode)
        dummy_ms = clamp_ms(seconds * 1000.0f);
    else
        stream_set_time(seconds);
}

void Music::set_row(int32_t row) {
    double rows_per_second = static_cast<double>(bpm) / 60.0 * rows_per_beat;
    // Without a tempo (a "bpm" key of 0 or less) a row has no time.
    if (!(rows_per_second > 0.0)) return;
    if (row < 0) row = 0;
    uint32_t position;
    if (dummy_mode)
        position = static_cast<uint32_t>(std::min(clamp_ms(row * 1000.0 / rows_per_second), INT32_MAX - 4));
    else
        position = stream_seconds_to_position(row / rows_per_second);
    set_position(position > UINT32_MAX - 4 ? position : position + 4);
}

int32_t Music::get_length() {
    if (dummy_mode) return 99999999;
    return stream_get_length();
}

void Music::advance_timer() {
    uint32_t now = platform::tick_ms();
    dummy_ms = static_cast<int32_t>(static_cast<uint32_t>(dummy_ms) + (now - last_tick));
    last_tick = now;
}

void Music::start() {
    for (float& b : beat_history) b = beat_offset;
    beat_step = 0.0f;
    if (dummy_mode) {
        dummy_ms = 0;
        last_tick = platform::tick_ms();
    } else {
        stream_start();
    }
    if (!is_playing()) FATAL_ERROR("Failed to start the music!");
    paused = false;
}

void Music::play() {
    if (!paused) return;
    if (dummy_mode)
        last_tick = platform::tick_ms();
    else
        stream_play();
    paused = false;
}

void Music::pause() {
    if (paused) return;
    if (dummy_mode)
        advance_timer();
    else
        stream_pause();
    paused = true;
}

void Music::toggle_pause() {
    if (dummy_mode) {
        uint32_t now = platform::tick_ms();
        if (!paused) dummy_ms = static_cast<int32_t>(static_cast<uint32_t>(dummy_ms) + (now - last_tick));
        last_tick = now;
    } else if (paused) {
        stream_play();
    } else {
        stream_pause();
    }
    paused = !paused;
}

bool Music::is_playing() {
    if (dummy_mode) return !paused;
    return stream_is_playing();
}

bool Music::is_running() {
    if (dummy_mode) return true;
    return paused || is_playing();
}

void Music::set_volume(float volume) {
    if (!dummy_mode) stream_set_volume(volume);
}

void Music::update() {
    if (dummy_mode && !paused) advance_timer();

    // A NaN tempo (from the "bpm" track) makes a NaN row: row 0 then.
    int32_t current_row = saturate_floor(get_row());
    // A connection the editor has not answered within the short wait goes on
    // in the next frames.
    if (sync_device->poll(current_row, &kSyncCallbacks, nullptr) != 0)
        sync_device->connect(reconnect_host, sync_port, kSyncReconnectWaitMs);

    beat_step = 0.0f;
    for (int i = 0; i < 9; ++i) {
        beat_step += beat_history[i + 1] - beat_history[i];
        beat_history[i] = beat_history[i + 1];
    }
    beat_history[9] = get_beats();
    beat_step += beat_history[9] - beat_history[8];
    beat_step /= 10.0f;
}

std::string Music::track_failure(const std::string& name) const {
    const std::string text = "Failed to open track " + name;
    if (sync_client != 0) return DataFile::failure_message(text, "", "the sync editor could not be asked for it");
    // In player mode the track is a file of the data layer.
    const std::string file = SyncDevice::track_path(kTrackFolder, name);
    return DataFile::failure_message(text, file,
                                     DataFile::exists(file.c_str()) ? "the file is empty"
                                                                    : DataFile::absence_reason(file.c_str()));
}

void Music::add_sync_track(const std::string& name, float default_value, bool tracked) {
    SyncValue record;
    record.name = name;
    record.value = default_value;
    if (tracked) {
        record.track = sync_device->open_track(name, default_value);
        if (!record.track) FATAL_ERROR(track_failure(name));
    }
    sync_index_.emplace(name, sync_values.size());  // the first record of a name wins
    sync_values.push_back(record);
}

float Music::get_sync_value(const std::string& name) {
    auto found = sync_index_.find(name);
    if (found == sync_index_.end()) FATAL_ERROR("Can't find sync value for " << name);
    const SyncValue& record = sync_values[found->second];
    if (!record.track) return record.value;
    return record.track->value_at(get_row());
}

void sync_cb_pause(void*, int32_t flag) {
    if (!current_music) return;
    if (flag)
        current_music->pause();
    else
        current_music->play();
}

void sync_cb_set_row(void*, int32_t row) {
    if (current_music) current_music->set_row(row);
}

int32_t sync_cb_is_playing(void*) { return current_music && current_music->is_playing() ? 1 : 0; }
