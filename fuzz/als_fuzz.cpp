// The XML readers on arbitrary bytes, each reading the same input: as an
// inflated Live set, as a controller template and as the modulator elements
// of a music description attached to a small song. Every reader either ends
// the run with a message (a fatal error, thrown here) or gives records that
// the note queries can answer. The data layer serves an empty archive, so
// no file a description names is ever read.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

#include "system/fatal.h"
#include "util/data/data.h"
#include "util/music/als.h"
#include "util/music/description.h"
#include "util/music/modulators/lfo.h"
#include "util/music/notedata.h"
#include "util/music/xmlbuffer.h"

namespace {

struct Refused : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void check(bool condition) {
    if (!condition) std::abort();
}

const bool kSetUp = [] {
    fatal::set_handler([](const fatal::Report& report) { throw Refused(report.message); });
    DataFile::set_mode(DataFileMode::Read);
    return true;
}();

// The bytes as a text load gives them: followed by a zero, counted.
std::vector<char> text_block(const uint8_t* data, size_t size) {
    std::vector<char> block(data, data + size);
    block.push_back(0);
    return block;
}

const float kBeats[] = {-1.0f, 0.0f, 0.25f, 1.0f, 1.5f, 2.0f, 3.7f, 8.0f, 100.0f};

void query(Track& track, float bpm) {
    for (float beat : kBeats) {
        check(note_states(track, beat).size() == track.notes.size());
        for (float intensity : note_intensities(track, bpm, beat)) (void)intensity;
    }
}

void read_live_set(const uint8_t* data, size_t size) {
    std::vector<char> block = text_block(data, size);
    try {
        AlsNoteData set(block.data(), static_cast<int32_t>(block.size()), "fuzz.als");
        for (Track& track : set.tracks) {
            check(track.num_events > 0);
            check(!track.notes.empty());
            for (const Note& note : track.notes) {
                check(!note.times.empty() && note.times.size() % 2 == 0);
                check(note.velocities.empty());
            }
            query(track, set.bpm);
        }
    } catch (const Refused&) {
    }
}

void read_template(const uint8_t* data, size_t size) {
    std::vector<char> block = text_block(data, size);
    XmlDocument document;
    if (!document.LoadBuffer(block.data(), static_cast<int32_t>(block.size()), TIXML_ENCODING_UNKNOWN))
        return;
    LFO lfo(LFO::Sine, 1, 1, 4, false);
    try {
        read_controller_template(document, lfo);
        check(lfo.ranges.min.size() == lfo.ranges.size() && lfo.ranges.max.size() == lfo.ranges.size());
        for (int value = 0; value < 128; ++value) {
            lfo.set_cc_value(value);
            check(!std::isnan(lfo.value(120, 2.5f, -1, 1)));
        }
    } catch (const Refused&) {
    }
}

// "Bass": keys 60 and 64 held over each other, controller 1 moving; "Lead":
// one short note.
NoteData small_song() {
    NoteData song("fuzz");
    song.bpm = 120.0f;
    Track bass;
    bass.name = "Bass";
    bass.num_events = 6;
    bass.note_for_key(60).times = {0.5f, -2.0f, 3.0f, -4.0f};
    bass.note_for_key(64).times = {1.0f, -1.5f, 1.7f};
    bass.lanes[1].times = {0.0f, 1.0f, 3.0f};
    bass.lanes[1].values = {0, 64, 127};
    Track lead;
    lead.name = "Lead";
    lead.num_events = 2;
    lead.note_for_key(72).times = {0.0f, -0.25f};
    song.tracks = {bass, lead};
    return song;
}

void read_modulators(const uint8_t* data, size_t size) {
    std::vector<char> block = text_block(data, size);
    XmlDocument document;
    if (!document.LoadBuffer(block.data(), static_cast<int32_t>(block.size()), TIXML_ENCODING_UNKNOWN))
        return;
    TiXmlElement* description = document.FirstChildElement("modulators");
    if (!description) return;
    NoteData song = small_song();
    std::vector<std::unique_ptr<Modulator>> store;
    try {
        ModulatorLoader(&song, song.bpm, store, "fuzz.xml", "fuzz/").load(description->FirstChildElement());
        for (Track& track : song.tracks) query(track, song.bpm);
    } catch (const Refused&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    (void)kSetUp;
    if (size > (1u << 20)) return 0;
    read_live_set(data, size);
    read_template(data, size);
    read_modulators(data, size);
    return 0;
}
