// The note side of the music object: loading the note data that the music
// description names, and the queries that scenes make of it.
#include <algorithm>
#include <cstring>

#include "system/fatal.h"
#include "util/music/als.h"
#include "util/music/midi.h"
#include "util/music/music.h"

void Music::load_midi(const std::string& file) {
    FATAL_ASSERT(!dummy_mode);
    note_data_ = std::make_unique<MidiNoteData>(file);
    notes = note_data_.get();
    bpm = notes->bpm;
}

void Music::load_als(const std::string& file) {
    FATAL_ASSERT(!dummy_mode);
    note_data_ = std::make_unique<AlsNoteData>(file);
    notes = note_data_.get();
    bpm = notes->bpm;
}

Track& Music::checked_track(uint32_t track, bool name_the_count) {
    const size_t count = notes->tracks.size();
    if (track >= count) {
        if (name_the_count) FATAL_ERROR("Track number " << track << " out of bounds, total tracks: " << count);
        FATAL_ERROR("Track number out of bounds");
    }
    return notes->tracks[track];
}

uint32_t Music::track_index(const char* name) {
    for (size_t i = 0; i < notes->tracks.size(); ++i)
        if (notes->tracks[i].name == name) return static_cast<uint32_t>(i);
    FATAL_ERROR("Could not find track " << name);
}

uint32_t Music::get_num_tracks() {
    if (!notes) FATAL_ERROR("Attempted to get number of tracks without a valid MIDI file loaded!");
    return static_cast<uint32_t>(notes->tracks.size());
}

std::string Music::get_track_name(uint32_t track) {
    if (!notes) FATAL_ERROR("No valid MIDI file loaded!");
    return checked_track(track).name;
}

uint32_t Music::get_num_track_notes(uint32_t track) {
    if (!notes) FATAL_ERROR("Attempted to get number of track notes without a valid MIDI file loaded!");
    return static_cast<uint32_t>(checked_track(track).notes.size());
}

std::vector<bool> Music::get_note_states(uint32_t track) {
    if (!notes) return {};
    return note_states(checked_track(track), get_beats());
}

std::vector<bool> Music::get_note_states_by_name(const char* name) {
    if (!notes) FATAL_ERROR("Attempted to get note states without a valid MIDI file loaded!");
    return get_note_states(track_index(name));
}

std::vector<uint8_t> Music::get_note_lookup(uint32_t track) {
    if (!notes) return {};
    return note_lookup(checked_track(track, false));
}

std::vector<uint8_t> Music::get_note_lookup_by_name(const char* name) {
    if (!notes) FATAL_ERROR("Attempted to get note lookup table without a valid MIDI file loaded!");
    return get_note_lookup(track_index(name));
}

int32_t Music::get_cc_value(uint32_t track, uint8_t controller, float beat) {
    if (!notes) return -1;
    return cc_value(checked_track(track), controller, beat);
}

std::vector<float> Music::get_note_intensities(uint32_t track, float beat) {
    if (!notes) return {};
    return note_intensities(checked_track(track, false), bpm, beat);
}

float Music::get_max_intensity(uint32_t track, float beat) {
    if (!notes) return 0.0f;
    Track& checked = checked_track(track, false);
    if (beat < 0.0f) return 0.0f;
    float largest = 0.0f;
    for (float intensity : note_intensities(checked, bpm, beat)) largest = std::max(largest, intensity);
    return largest;
}
