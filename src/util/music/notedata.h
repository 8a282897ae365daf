// Note data: the score that goes with a soundtrack. For each instrument
// track, when each key is pressed and released and how the track's
// controllers move, read once from a MIDI file or a Live set and then only
// queried. All times are in beats from the start of the song.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

class Modulator;

// All events of one key of one track.
struct Note {
    uint8_t key = 0;
    std::string name;  // note_name(key)
    // Index in `times` of the press that began the latest sounding the
    // note-state query reported; -1 before the first.
    int32_t state = -1;
    // Presses as their beat (zero or positive), releases as their beat
    // negated, in the order the reader produced them.
    std::vector<float> times;
    // MIDI only: one entry per entry of `times`, the press velocity or 0.
    std::vector<uint8_t> velocities;
};

// The history of one MIDI controller of a track.
struct CcLane {
    std::vector<float> times;
    std::vector<uint8_t> values;  // 0..127, one per entry of `times`
};

// One instrument track.
struct Track {
    std::string name;
    uint32_t num_events = 0;  // note events read; a track without any is not kept
    std::vector<Note> notes;  // one per key, in the order of each key's first event
    std::array<CcLane, 128> lanes;  // by controller number; 7 and 10 stay empty
    float volume = 0.78125f;
    float pan = 0.5f;
    // Applied in this order; not owned (they live as long as the run).
    std::vector<Modulator*> modulators;

    // The note of that key, appended (named) when the track has none yet.
    Note& note_for_key(uint8_t key);
};

// The note data of one song: a MIDI file (midi.h) or a Live set (als.h).
class NoteData {
public:
    explicit NoteData(const std::string& file);
    virtual ~NoteData() = default;

    std::vector<Track> tracks;
    float bpm = 0.0f;
};

// Is this entry of a note's `times` a release? By its sign bit, so that a
// release at beat 0, stored as -0.0, stays a release rather than reading as
// a press (-0.0 is not below zero).
inline bool is_release(float time) { return std::signbit(time); }

// The key's name: pitch and octave, octaves counted from 0, so key 60 is C5.
std::string note_name(uint8_t key);

// The queries on one track (the music object checks the track index).

// Does each note sound at `beat`? An event exactly at the beat has not
// happened yet; a note pressed at beat 0 sounds after it like any other.
// Sets the `state` of every note that sounds.
std::vector<bool> note_states(Track& track, float beat);

// The key of each note.
std::vector<uint8_t> note_lookup(const Track& track);

// The controller's value at the beat: the last change at or before it, -1
// when there is none (or no such controller).
int32_t cc_value(const Track& track, uint8_t controller, float beat);

// The intensity of each note at the beat: 1 or 0 for held or not, shaped by
// the track's modulators in turn; arpeggiators then let one held key sound.
// A controller-driven modulator keeps the rate its controller last chose.
std::vector<float> note_intensities(Track& track, float bpm, float beat);
