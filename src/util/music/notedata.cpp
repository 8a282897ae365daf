#include "util/music/notedata.h"

#include <cmath>
#include <cstdio>

#include "util/music/modulators/arp.h"

Note& Track::note_for_key(uint8_t key) {
    for (Note& note : notes)
        if (note.key == key) return note;
    notes.emplace_back();
    Note& note = notes.back();
    note.key = key;
    note.name = note_name(key);
    return note;
}

NoteData::NoteData(const std::string&) {}

std::string note_name(uint8_t key) {
    static const char* const kPitches[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    const unsigned octave = key / 12u;
    return kPitches[key - 12u * octave] + std::to_string(octave);
}

std::vector<bool> note_states(Track& track, float beat) {
    std::vector<bool> states;
    states.reserve(track.notes.size());
    for (Note& note : track.notes) {
        size_t j = 0;
        while (j < note.times.size() && std::fabs(note.times[j]) < beat) ++j;
        // A press by its sign, as the intensities take it: a press at beat 0
        // is +0.0, which is no greater than zero but sounds all the same.
        const bool sounds = j != 0 && j != note.times.size() && !is_release(note.times[j - 1]);
        if (sounds) note.state = static_cast<int32_t>(j - 1);
        states.push_back(sounds);
    }
    return states;
}

std::vector<uint8_t> note_lookup(const Track& track) {
    std::vector<uint8_t> keys;
    keys.reserve(track.notes.size());
    for (const Note& note : track.notes) keys.push_back(note.key);
    return keys;
}

int32_t cc_value(const Track& track, uint8_t controller, float beat) {
    if (controller >= track.lanes.size()) return -1;
    const CcLane& lane = track.lanes[controller];
    int32_t value = -1;
    for (size_t i = 0; i < lane.times.size() && !(lane.times[i] > beat); ++i) value = lane.values[i];
    return value;
}

std::vector<float> note_intensities(Track& track, float bpm, float beat) {
    std::vector<float> result(track.notes.size(), 0.0f);
    if (beat < 0.0f) return result;

    float latest = -1.0f;
    std::vector<uint32_t> held;
    for (size_t i = 0; i < track.notes.size(); ++i) {
        const Note& note = track.notes[i];
        int count = 0;
        float last_on = -1.0f;
        float last_off = -1.0f;
        for (size_t j = 0; j < note.times.size() && std::fabs(note.times[j]) < beat; ++j) {
            const float t = note.times[j];
            if (!is_release(t)) {  // a press
                if (count == 0) {
                    last_on = t;
                    if (t > latest) latest = t;
                }
                ++count;
            } else {  // a release
                if (count > 0) --count;
                if (count == 0) {
                    last_off = -t;
                    if (last_off > latest) latest = last_off;
                }
            }
        }
        if (count > 0) held.push_back(static_cast<uint32_t>(i));

        if (track.modulators.empty()) {
            result[i] = count > 0 ? 1.0f : 0.0f;
            continue;
        }
        float intensity = 1.0f;
        for (Modulator* modulator : track.modulators) {
            if (modulator->get_cc() >= 0) {
                const int32_t value = cc_value(track, static_cast<uint8_t>(modulator->get_cc()), beat);
                if (value >= 0) modulator->set_cc_value(value);
            }
            intensity *= modulator->value(bpm, beat, last_off, last_on);
        }
        result[i] = intensity;
    }

    for (Modulator* modulator : track.modulators) {
        if (modulator->get_type() != Modulator::TypeArp) continue;
        const uint32_t k = static_cast<Arp*>(modulator)->note_index(bpm, beat, latest, static_cast<uint32_t>(held.size()));
        for (size_t i = 0; i < result.size(); ++i)
            if (held.empty() || k >= held.size() || i != held[k]) result[i] = 0.0f;
    }
    return result;
}
