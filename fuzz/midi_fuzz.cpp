// The MIDI file reader on arbitrary bytes: a file either ends the run with a
// message (a fatal error, thrown here) or reads into note data whose every
// record is consistent and which the note queries can answer.
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

#include "system/fatal.h"
#include "util/music/midi.h"

namespace {

struct Refused : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void check(bool condition) {
    if (!condition) std::abort();
}

const bool kHandlerInstalled = [] {
    fatal::set_handler([](const fatal::Report& report) { throw Refused(report.message); });
    return true;
}();

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    (void)kHandlerInstalled;
    try {
        MidiNoteData midi(data, size, "fuzz.mid");
        check(midi.bpm > 0.0f);
        for (Track& track : midi.tracks) {
            check(track.num_events > 0);
            check(track.notes.size() <= 128);
            for (const Note& note : track.notes) {
                check(note.key <= 127);
                check(note.times.size() == note.velocities.size());
                check(note.name == note_name(note.key));
            }
            check(track.lanes[7].times.empty() && track.lanes[10].times.empty());
            for (const CcLane& lane : track.lanes) {
                check(lane.times.size() == lane.values.size());
                for (uint8_t value : lane.values) check(value <= 127);
            }
            for (float beat : {-1.0f, 0.0f, 0.5f, 1.0f, 4.0f, 1e6f}) {
                check(note_states(track, beat).size() == track.notes.size());
                for (float intensity : note_intensities(track, midi.bpm, beat))
                    check(intensity == 0.0f || intensity == 1.0f);
                for (int cc = 0; cc < 128; cc += 9) check(cc_value(track, static_cast<uint8_t>(cc), beat) <= 127);
            }
        }
    } catch (const Refused&) {
    }
    return 0;
}
