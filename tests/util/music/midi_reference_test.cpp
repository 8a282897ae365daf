// The MIDI reader against a reader that is not ours: the mido library reads
// the same files (tests/util/music/midi_events.py prints their note events),
// and every press and release it reports must be in the reader's notes, in
// order, at the same beat and with the same velocity. Presses and releases
// are folded the way the notes keep them: a press of a sounding key and a
// release of a released one change nothing.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "note_fixtures.h"
#include "support/e2e_display.h"
#include "support/test_support.h"
#include "util/music/midi.h"

namespace {

using namespace note_fixtures;

struct Entry {
    float beat;
    bool press;
    int velocity;
    bool operator==(const Entry& o) const { return beat == o.beat && press == o.press && velocity == o.velocity; }
};

std::ostream& operator<<(std::ostream& out, const Entry& e) {
    return out << (e.press ? "press " : "release ") << e.beat << " v" << e.velocity;
}

// Track index (among the chunks that hold note events) -> key -> entries.
using Song = std::map<int, std::map<int, std::vector<Entry>>>;

std::string run(const std::string& command) {
    test_support::CommandResult result = test_support::run_command(command);
    if (result.status != 0) ADD_FAILURE() << command << " failed:\n" << result.output;
    return result.output;
}

// What mido reads in the file, folded into notes.
Song mido_song(const std::string& path) {
    std::istringstream lines(run("/usr/bin/python3 " + test_support::source_path("tests/util/music/midi_events.py") +
                                 " " + path + " 2>&1"));
    struct Event {
        int chunk;
        long tick;
        int key;
        bool press;
        int velocity;
    };
    std::vector<Event> events;
    int division = 0;
    std::string first;
    while (lines >> first) {
        if (first == "division") {
            lines >> division;
            continue;
        }
        Event e{std::stoi(first), 0, 0, false, 0};
        std::string kind;
        lines >> e.tick >> e.key >> kind >> e.velocity;
        e.press = kind == "on";
        events.push_back(e);
    }
    EXPECT_GT(division, 0) << "mido gave no division";
    Song song;
    std::map<int, int> track_of_chunk;  // chunks without note events are not tracks
    for (const Event& e : events) {
        const int track = track_of_chunk.emplace(e.chunk, static_cast<int>(track_of_chunk.size())).first->second;
        std::vector<Entry>& note = song[track][e.key];
        // A release may open a note's entries; a press of a sounding key or a
        // release of a silent one changes nothing.
        if (note.empty() || note.back().press != e.press)
            note.push_back({static_cast<float>(e.tick) / static_cast<float>(division), e.press, e.velocity});
    }
    return song;
}

Song our_song(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    MidiNoteData midi(file.data(), file.size(), path);
    Song song;
    for (size_t t = 0; t < midi.tracks.size(); ++t)
        for (const Note& note : midi.tracks[t].notes)
            for (size_t i = 0; i < note.times.size(); ++i)
                song[int(t)][note.key].push_back({std::fabs(note.times[i]), !is_release(note.times[i]), note.velocities[i]});
    return song;
}

TEST(MidiReaderAgainstMido, SameNotesFromTheSameFiles) {
    struct Case {
        const char* name;
        Bytes file;
    };
    const Case cases[] = {
        {"released at tick 0, then pressed",
         midi_header(1, 96) + track_chunk(bytes({0x00, 0x80, 0x3C, 0x00, 0x30, 0x90, 0x3C, 0x64, 0x30, 0x80, 0x3C, 0x40}) +
                                          end_of_track())},
        {"note-on of velocity 0 at tick 0, running status",
         midi_header(1, 480) + track_chunk(bytes({0x00, 0x90, 0x40, 0x00, 0x00, 0x43, 0x00, 0x81, 0x70, 0x40, 0x7F, 0x00,
                                                  0x43, 0x50, 0x83, 0x60, 0x40, 0x00, 0x00, 0x43, 0x00}) +
                                           end_of_track())},
        {"conductor chunk and two instruments on several channels",
         midi_header(3, 96) + track_chunk(track_name("Cond") + tempo(600000) + end_of_track()) +
             track_chunk(track_name("Lead") + bytes({0x00, 0x91, 0x48, 0x20, 0x18, 0x92, 0x48, 0x30, 0x18, 0x8F, 0x48, 0x00,
                                                     0x00, 0x90, 0x4A, 0x7F, 0x60, 0x80, 0x4A, 0x00}) +
                         end_of_track()) +
             track_chunk(track_name("Bass") + bytes({0x00, 0x80, 0x24, 0x00, 0x00, 0x90, 0x24, 0x01, 0x83, 0x00, 0x80, 0x24,
                                                     0x00, 0x00, 0xE0, 0x00, 0x40, 0x00, 0x90, 0x24, 0x00}) +
                         end_of_track())},
        {"the bass song", bass_midi()},
    };
    test_support::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file("song.mid");
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(c.file.data()), c.file.size());
        const Song expected = mido_song(path);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(our_song(path), expected);
    }
}

}  // namespace
