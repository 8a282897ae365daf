// The music object: the one clock of a run, in seconds, beats and rows, and
// the owner of the run's sync device and named sync values.
//
// With a soundtrack the clock is the play position of the song; without one
// (an empty music file name) a millisecond timer runs instead (timer mode,
// `dummy_mode`). Every operation below does the timer-mode work itself and
// hands the soundtrack case to the `stream_*` functions, which live in
// music_stream.cpp together with the soundtrack loaders.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/audio/song.h"
#include "platform/audio/spectrum.h"
#include "platform/audio/stream.h"
#include "util/music/sync.h"

class Modulator;
class NoteData;
struct Track;
class TiXmlElement;

// The audio format of the decoded soundtrack (a WAVEFORMATEX record).
struct WaveFormat {
    uint16_t format_tag = 0;  // 1 = PCM
    uint16_t channels = 0;
    uint32_t samples_per_sec = 0;
    uint32_t avg_bytes_per_sec = 0;
    uint16_t block_align = 0;
    uint16_t bits_per_sample = 0;
    uint16_t extra_size = 0;
};

// One named sync value: backed by a track of the sync device, or a constant
// when `track` is null.
struct SyncValue {
    SyncTrack* track = nullptr;  // owned by the sync device
    std::string name;
    float value = 0.0f;  // the default; the value itself for a constant
};

class Music {
public:
    // Reads the tempo, music file, recording flag and sync-client settings of
    // ZemblaSystem; connects to the editor when the sync client is on.
    Music();
    // Saves the sync tracks (client mode) and releases everything.
    ~Music();
    Music(const Music&) = delete;
    Music& operator=(const Music&) = delete;

    float get_time();
    float get_beats();
    double get_row();  // 8 rows a beat, not floored
    float get_bpm() const { return bpm; }
    void set_bpm(float b) { bpm = b; }

    // Milliseconds in timer mode, bytes of 16-bit PCM with a soundtrack.
    uint32_t get_position();
    void set_position(uint32_t position);
    void set_time(float seconds);
    void set_row(int32_t row);
    int32_t get_length();

    void start();
    void play();
    void pause();
    void toggle_pause();
    bool is_playing();
    bool is_running();
    void set_volume(float volume);
    // Once per frame: advances the timer, serves the sync-tracker client
    // (reconnecting when the editor was lost) and updates the beat step.
    void update();
    float get_beat_step() const { return beat_step; }

    // What is being heard (music_stream.cpp). Spectra are FFT magnitudes of
    // the song at the play position: get_band_level averages bins start to
    // stop - 1 of a 512-point FFT (256 bins; stop <= start is fatal, the
    // range is kept within 0..256); get_fft writes the 1024 bins of a
    // 2048-point FFT at a beat, or at the play position for a negative beat.
    // At or past the end of the song a spectrum is all zeros. In timer mode
    // levels are 0 and buffers are left as they are.
    float get_band_level(int32_t start, int32_t stop);
    float get_level();
    void get_fft(float* buffer, float beat);
    // `count` sample values (channels interleaved) from the play position;
    // what lies past the end of the song reads 0.
    void get_waveform(float* buffer, int32_t count);
    float get_length_beats();

    // Registers a sync value; a tracked one opens its track (fatal when it
    // cannot). A repeated name appends a record that is never read.
    void add_sync_track(const std::string& name, float default_value, bool tracked);
    // The value of the first record of that name at the current row; an
    // unknown name is fatal.
    float get_sync_value(const std::string& name);

    // Note data (music_notes.cpp), loaded by the music description: a MIDI
    // file or a gzip-compressed Live set. Sets the tempo to the file's.
    void load_midi(const std::string& file);
    void load_als(const std::string& file);

    // Queries of the note data. A track is addressed by its index or by its
    // name (the first track of that name); every per-note answer has one
    // entry per note of the track, in the track's note order. A bad index
    // or name ends the run; so does a missing note data for the counting,
    // naming and by-name queries, while the other queries then answer
    // nothing (an empty list, 0).
    uint32_t get_num_tracks();
    std::string get_track_name(uint32_t track);
    uint32_t get_num_track_notes(uint32_t track);
    // Does each note sound at the current beat?
    std::vector<bool> get_note_states(uint32_t track);
    std::vector<bool> get_note_states_by_name(const char* name);
    // The key of each note.
    std::vector<uint8_t> get_note_lookup(uint32_t track);
    std::vector<uint8_t> get_note_lookup_by_name(const char* name);
    // The controller's value at the beat, -1 when it has none yet.
    int32_t get_cc_value(uint32_t track, uint8_t controller, float beat);
    // How strongly each note sounds at the beat, shaped by the track's
    // modulators; the largest of them (at least 0).
    std::vector<float> get_note_intensities(uint32_t track, float beat);
    float get_max_intensity(uint32_t track, float beat);

    // The music description (music_description.cpp): creates the modulators
    // of the elements from `first` on and attaches them to their tracks;
    // `file` is the description, `folder` its folder.
    void load_modulators(TiXmlElement* first, const std::string& folder, const std::string& file);
    // Adds the bands of a controller template to an LFO's table.
    void load_controller_template(const std::string& path, Modulator* modulator);

    // TCP port of the sync-tracker editor (tests point it at their own).
    static int sync_port;
    // The local machine, by name, where the client reconnects.
    static const char* const reconnect_host;

    WaveFormat wave_format;
    float* float_buffer = nullptr;
    int16_t* u16_buffer = nullptr;
    uint32_t num_samples = 0;
    bool dummy_mode = true;
    int32_t dummy_ms = 0;
    uint32_t last_tick = 0;
    NoteData* notes = nullptr;
    float bpm = 0.0f;
    float beat_offset = 0.0f;
    int32_t rows_per_beat = 8;
    float beat_history[10] = {};
    float beat_step = 0.0f;
    bool paused = false;
    bool dumping = false;
    int32_t sync_client = 0;
    std::unique_ptr<SyncDevice> sync_device;
    std::vector<SyncValue> sync_values;

private:
    void advance_timer();
    // The last four characters of a file name, lower-cased.
    static std::string lower_extension(const std::string& file);
    // The track of that index (note data loaded); a bad index ends the run
    // with a message that names the track count or not.
    Track& checked_track(uint32_t track, bool name_the_count = true);
    uint32_t track_index(const char* name);
    // The message of a tracked value whose track could not be opened: the
    // track file and why, or that the editor could not be asked.
    std::string track_failure(const std::string& name) const;

    // The soundtrack (music_stream.cpp).
    void load_stream(const std::string& file);
    void load_xml(const std::string& file);
    float stream_get_time();
    uint32_t stream_get_position();
    void stream_set_position(uint32_t position);
    uint32_t stream_seconds_to_position(double seconds);
    void stream_set_time(float seconds);
    int32_t stream_get_length();
    void stream_start();
    void stream_play();
    void stream_pause();
    bool stream_is_playing();
    void stream_set_volume(float volume);
    void stream_release();

    std::unordered_map<std::string, size_t> sync_index_;  // name -> first record

    // What `notes` points at, and the modulators attached to its tracks.
    std::unique_ptr<NoteData> note_data_;
    std::vector<std::unique_ptr<Modulator>> modulators_;

    // The soundtrack: the decoded song (float_buffer points into it), the
    // play stream, and the two transforms that read the song at any frame
    // (what the audio library's separate decode stream did).
    std::shared_ptr<audio::Song> song_;
    std::vector<int16_t> pcm16_;  // u16_buffer, when recording
    std::unique_ptr<audio::Stream> chan;
    std::unique_ptr<audio::Spectrum> fft512_;
    std::unique_ptr<audio::Spectrum> fft2048_;
};

// The one music object, for the editor callbacks; null when there is none.
extern Music* current_music;

// The editor callbacks handed to SyncDevice::poll; they act on current_music
// and do nothing without one.
void sync_cb_pause(void* opaque, int32_t flag);
void sync_cb_set_row(void* opaque, int32_t row);
int32_t sync_cb_is_playing(void* opaque);
