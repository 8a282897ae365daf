// The MIDI file reader on files built in the test: the records it makes, and
// the message of every file it refuses.
#include <cmath>
#include <fstream>

#include "note_fixtures.h"
#include "support/test_support.h"
#include "util/data/data.h"
#include "util/music/midi.h"

namespace {

using namespace note_fixtures;

MidiNoteData read(const Bytes& file) { return MidiNoteData(file.data(), file.size(), "song.mid"); }

// A file of one track chunk holding the events (and an end of track).
Bytes one_track(const Bytes& events, int division = 96) {
    return midi_header(1, division) + track_chunk(events + end_of_track());
}

TEST(MidiReader, TheBassSong) {
    MidiNoteData midi = read(bass_midi());
    EXPECT_EQ(midi.bpm, 120.0f);
    EXPECT_EQ(midi.time_sig_numerator, 4);
    EXPECT_EQ(midi.time_sig_denominator, 4);
    EXPECT_EQ(midi.time_sig_clocks, 24);
    EXPECT_EQ(midi.time_sig_32nds, 8);
    ASSERT_EQ(midi.tracks.size(), 1u);  // the conductor chunk has no note events
    const Track& bass = midi.tracks[0];
    EXPECT_EQ(bass.name, "Bass");
    EXPECT_EQ(bass.num_events, 2u);
    ASSERT_EQ(bass.notes.size(), 1u);
    EXPECT_EQ(bass.notes[0].key, 60);
    EXPECT_EQ(bass.notes[0].name, "C5");
    EXPECT_EQ(bass.notes[0].times, (std::vector<float>{0.5f, -1.0f}));
    EXPECT_EQ(bass.notes[0].velocities, (std::vector<uint8_t>{100, 0}));
    EXPECT_EQ(bass.lanes[1].times, std::vector<float>{1.0f});
    EXPECT_EQ(bass.lanes[1].values, std::vector<uint8_t>{64});
    EXPECT_EQ(bass.volume, 0.78125f);
    EXPECT_EQ(bass.pan, 0.5f);
}

TEST(MidiReader, TempoIsTheLastTempoEventRoundedToHundredths) {
    const std::pair<uint32_t, float> cases[] = {{500000, 120.0f}, {400000, 150.0f}, {600000, 100.0f}, {700000, 85.71f}};
    const Bytes note = bytes({0x00, 0x90, 0x3C, 0x40});
    for (const auto& c : cases) EXPECT_EQ(read(one_track(tempo(c.first) + note)).bpm, c.second) << c.first;
    EXPECT_EQ(read(one_track(tempo(400000) + note + tempo(600000))).bpm, 100.0f);
    EXPECT_EQ(read(one_track(note)).bpm, 120.0f);
}

TEST(MidiReader, PressesAndReleasesOfAKey) {
    struct Case {
        const char* name;
        Bytes events;
        std::vector<float> times;
        uint32_t num_events;
    };
    const Case cases[] = {
        // Running status: one note-on status, then key/velocity pairs.
        {"running status", bytes({0x30, 0x90, 0x3C, 0x64, 0x30, 0x3C, 0x00, 0x30, 0x3C, 0x50}), {0.5f, -1.0f, 1.5f}, 3},
        {"second press while sounding", bytes({0x30, 0x90, 0x3C, 0x64, 0x30, 0x90, 0x3C, 0x64, 0x30, 0x80, 0x3C, 0x00}),
         {0.5f, -1.5f}, 3},
        {"release first", bytes({0x30, 0x80, 0x3C, 0x00, 0x30, 0x90, 0x3C, 0x64}), {-0.5f, 1.0f}, 2},
        {"channels pair up", bytes({0x30, 0x93, 0x3C, 0x64, 0x30, 0x8A, 0x3C, 0x00}), {0.5f, -1.0f}, 2},
        {"pitch bend, pressures skipped",
         bytes({0x00, 0xE0, 0x00, 0x40, 0x00, 0xA0, 0x3C, 0x10, 0x00, 0xD0, 0x20, 0x30, 0x90, 0x3C, 0x64}), {0.5f}, 1},
        {"only releases", bytes({0x30, 0x80, 0x3C, 0x00, 0x30, 0x90, 0x3C, 0x00}), {-0.5f}, 2},
        // A release at beat 0 is stored as -0.0 and stays a release, so the
        // press that follows it is kept.
        {"release at zero", bytes({0x00, 0x80, 0x3C, 0x00, 0x30, 0x90, 0x3C, 0x64, 0x30, 0x80, 0x3C, 0x00}),
         {-0.0f, 0.5f, -1.0f}, 3},
        {"note-on of velocity 0 at zero", bytes({0x00, 0x90, 0x3C, 0x00, 0x00, 0x3C, 0x00, 0x30, 0x3C, 0x64}),
         {-0.0f, 0.5f}, 3},
        {"four-byte delta", vlq(0x0FFFFFFF) + bytes({0x90, 0x3C, 0x64}), {float(0x0FFFFFFF) / 96.0f}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MidiNoteData midi = read(one_track(c.events));
        ASSERT_EQ(midi.tracks.size(), 1u);
        ASSERT_EQ(midi.tracks[0].notes.size(), 1u);
        const Note& note = midi.tracks[0].notes[0];
        EXPECT_EQ(note.times, c.times);
        // -0.0 equals 0.0: the sign tells a release at beat 0 from a press.
        for (size_t i = 0; i < c.times.size() && i < note.times.size(); ++i)
            EXPECT_EQ(std::signbit(note.times[i]), std::signbit(c.times[i])) << "entry " << i;
        EXPECT_EQ(note.velocities.size(), note.times.size());
        EXPECT_EQ(midi.tracks[0].num_events, c.num_events);
    }
}

TEST(MidiReader, ControllersMetaTextsAndSignatures) {
    const Bytes events = bytes({0x00, 0xB0, 0x07, 0x64, 0x00, 0xB0, 0x0A, 0x20, 0x60, 0xB0, 0x01, 0x7F,
                                0x00, 0xFF, 0x01, 0x03, 'a', 0x00, 'c', 0x00, 0xFF, 0x02, 0x02, '(', 'c',
                                0x00, 0xFF, 0x59, 0x02, 0xFD, 0x01, 0x00, 0xFF, 0x58, 0x04, 0x06, 0x03, 0x0C, 0x08,
                                0x00, 0x90, 0x40, 0x01});
    MidiNoteData midi = read(one_track(events));
    ASSERT_EQ(midi.tracks.size(), 1u);
    const Track& track = midi.tracks[0];
    EXPECT_EQ(track.volume, 100.0f);
    EXPECT_EQ(track.pan, 32.0f);
    EXPECT_TRUE(track.lanes[7].times.empty() && track.lanes[10].times.empty());
    EXPECT_EQ(track.lanes[1].times, std::vector<float>{1.0f});
    EXPECT_EQ(track.lanes[1].values, std::vector<uint8_t>{127});
    EXPECT_EQ(midi.text, "a");  // up to its zero byte
    EXPECT_EQ(midi.copyright, "(c");
    EXPECT_EQ(midi.key_sig_sharps, -3);
    EXPECT_TRUE(midi.key_sig_minor);
    EXPECT_EQ(midi.time_sig_numerator, 6);
    EXPECT_EQ(midi.time_sig_denominator, 8);
    EXPECT_EQ(midi.time_sig_clocks, 12);
    EXPECT_EQ(read(one_track(bytes({0x00, 0xFF, 0x58, 0x04, 0x04, 0x09, 0x18, 0x08, 0x00, 0x90, 0x40, 0x01})))
                  .time_sig_denominator,
              0);
}

TEST(MidiReader, TracksWithoutNoteEventsAreNotKept) {
    const Bytes names_only = track_chunk(track_name("Names") + bytes({0x00, 0xB0, 0x01, 0x10}) + end_of_track());
    const Bytes lead = track_chunk(track_name("Lead") + bytes({0x00, 0x90, 0x48, 0x40}) + end_of_track());
    const Bytes keys = track_chunk(track_name("Keys") + bytes({0x00, 0x90, 0x30, 0x40}) + end_of_track());
    MidiNoteData midi = read(midi_header(3, 96) + lead + names_only + keys);
    ASSERT_EQ(midi.tracks.size(), 2u);
    EXPECT_EQ(midi.tracks[0].name, "Lead");
    EXPECT_EQ(midi.tracks[1].name, "Keys");
}

TEST(MidiReader, ReadsThroughTheDataLayer) {
    test_support::TempDir dir;
    test_support::ScopedChdir chdir(dir.path());
    const int saved_mode = DataFile::get_mode();
    DataFile::set_mode(DataFileMode::Plain);
    const Bytes file = bass_midi();
    std::ofstream("song.mid", std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
    EXPECT_EQ(MidiNoteData("song.mid").tracks.size(), 1u);
    EXPECT_FATAL(MidiNoteData("absent.mid"), "Failed to load absent.mid: No such file or directory");
    DataFile::set_mode(saved_mode);
}

TEST(MidiReader, RefusedFiles) {
    const Bytes header = midi_header(1, 96);
    struct Case {
        const char* name;
        Bytes file;
        std::string message;
    };
    const std::string corrupt = "Corrupt MIDI file song.mid: ";
    const Case cases[] = {
        // The system's text first, then the file and what was found.
        {"no header", Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96},
         "  Unknown header info, MIDI file format not recognized (song.mid): it starts with "
         "\"RIFF\\x00\\x00\\x00\\x06\", not \"MThd\" and length 6\n"},
        {"header length 7", Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 7, 0, 0, 0, 1, 0, 96},
         "  Unknown header info, MIDI file format not recognized (song.mid): it starts with "
         "\"MThd\\x00\\x00\\x00\\x07\", not \"MThd\" and length 6\n"},
        {"short file", Bytes{'M', 'T', 'h'},
         "  Unknown header info, MIDI file format not recognized (song.mid): a file of 3 bytes\n"},
        {"fewer chunks than promised", midi_header(3, 96) + track_chunk(end_of_track()) + track_chunk(end_of_track()),
         " Could not find track chunk header, unrecognized file format! (song.mid): the file ends at byte 38, "
         "where a track chunk should start\n"},
        {"not a track chunk", header + Bytes{'M', 'T', 'r', 'x', 0, 0, 0, 0},
         " Could not find track chunk header, unrecognized file format! (song.mid): \"MTrx\" at byte 14 where "
         "\"MTrk\" should start a track chunk\n"},
        {"delta of five bytes", one_track(bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x90, 0x3C, 0x40})), "Found 4 bytes of delta time without a 0 MSB"},
        {"sysex", one_track(bytes({0x00, 0xF0, 0x01, 0xF7})), "  Got SysEx event, not supported yet, panicking!"},
        {"sysex escape", one_track(bytes({0x00, 0xF7, 0x01, 0x00})), "  Got SysEx event, not supported yet, panicking!"},
        {"program change", one_track(bytes({0x00, 0xC0, 0x05})), "MIDI_PROGRAM"},
        {"data byte without status", one_track(bytes({0x00, 0x3C, 0x40})), "Unknown event 3 from 60, corrupt MIDI file? Panicking!"},
        {"system common status", one_track(bytes({0x00, 0xF2, 0x21, 0x00})), "Unknown event 2 from 33, corrupt MIDI file? Panicking!"},
        {"sequence number", one_track(bytes({0x00, 0xFF, 0x00, 0x02, 0x00, 0x01})), "MIDI_META_SEQNUM"},
        {"instrument name", one_track(bytes({0x00, 0xFF, 0x04, 0x01, 'x'})), "MIDI_META_INSTR_NAME"},
        {"lyric", one_track(bytes({0x00, 0xFF, 0x05, 0x01, 'x'})), "MIDI_META_LYRIC"},
        {"marker", one_track(bytes({0x00, 0xFF, 0x06, 0x01, 'x'})), "MIDI_META_MARKER"},
        {"cue point", one_track(bytes({0x00, 0xFF, 0x07, 0x01, 'x'})), "MIDI_META_CUE_POINT"},
        {"channel prefix", one_track(bytes({0x00, 0xFF, 0x20, 0x01, 0x00})), "MIDI_META_CH_PREFIX"},
        {"smpte offset", one_track(bytes({0x00, 0xFF, 0x54, 0x05, 0, 0, 0, 0, 0})), "MIDI_META_SMPTE_OFFS"},
        {"sequencer specific", one_track(bytes({0x00, 0xFF, 0x7F, 0x01, 0x00})), "MIDI_META_CUSTOM"},
        {"port prefix", one_track(bytes({0x00, 0xFF, 0x21, 0x01, 0x00})), "  Unknown meta event, panicking!"},
        {"empty text", one_track(bytes({0x00, 0xFF, 0x01, 0x00})), "Retrieving text info failed!"},
        {"empty copyright", one_track(bytes({0x00, 0xFF, 0x02, 0x00})), "Retrieving copyright info failed!"},
        {"empty track name", one_track(bytes({0x00, 0xFF, 0x03, 0x00})), "Retrieving track name failed!"},
        {"end of track with data", header + track_chunk(bytes({0x00, 0xFF, 0x2F, 0x01, 0x00})), "Expected 0x00"},
        {"tempo of two bytes", one_track(bytes({0x00, 0xFF, 0x51, 0x02, 0x07, 0xA1})), "Expected 0x03"},
        {"time signature of three", one_track(bytes({0x00, 0xFF, 0x58, 0x03, 4, 2, 24})), "Expected 0x04"},
        {"key signature of one", one_track(bytes({0x00, 0xFF, 0x59, 0x01, 0})), "Expected 0x02"},
        // Files whose lengths, counts or data bytes cannot be right.
        {"header cut short", Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0}, corrupt + "the header runs past the end of the file"},
        {"chunk longer than the file", header + Bytes{'M', 'T', 'r', 'k', 0, 0, 1, 0, 0x00, 0x90, 0x3C, 0x40},
         corrupt + "a track chunk runs past the end of the file"},
        {"chunk length cut short", header + Bytes{'M', 'T', 'r', 'k', 0, 0}, corrupt + "unexpected end of a track chunk"},
        {"note cut at the chunk end", header + track_chunk(bytes({0x00, 0x90, 0x3C})) + track_chunk(bytes({0x40, 0x00})),
         corrupt + "unexpected end of a track chunk"},
        {"delta at the chunk end", header + track_chunk(bytes({0x00, 0x90, 0x3C, 0x40, 0x00})), corrupt + "unexpected end of a track chunk"},
        {"delta runs off the chunk", header + track_chunk(bytes({0x81})), corrupt + "unexpected end of a track chunk"},
        {"text longer than the chunk", header + track_chunk(bytes({0x00, 0xFF, 0x03, 0x10, 'a'})), corrupt + "unexpected end of a track chunk"},
        {"tempo cut short", header + track_chunk(bytes({0x00, 0xFF, 0x51, 0x03, 0x07})), corrupt + "unexpected end of a track chunk"},
        {"meta type missing", header + track_chunk(bytes({0x00, 0xFF})), corrupt + "unexpected end of a track chunk"},
        {"key above 127", one_track(bytes({0x00, 0x90, 0x90, 0x40})), corrupt + "key 144 above 127"},
        {"controller above 127", one_track(bytes({0x00, 0xB0, 0xC8, 0x40})), corrupt + "controller 200 above 127"},
        {"velocity above 127", one_track(bytes({0x00, 0x90, 0x3C, 0x80})), corrupt + "velocity 128 above 127"},
        {"release velocity above 127", one_track(bytes({0x00, 0x80, 0x3C, 0xFF})), corrupt + "velocity 255 above 127"},
        {"controller value above 127", one_track(bytes({0x00, 0xB0, 0x01, 0x80})), corrupt + "controller value 128 above 127"},
        {"pressed key above 127", one_track(bytes({0x00, 0xA0, 0x81, 0x10})), corrupt + "pressed key 129 above 127"},
        {"key pressure above 127", one_track(bytes({0x00, 0xA0, 0x3C, 0x90})), corrupt + "key pressure 144 above 127"},
        {"channel pressure above 127", one_track(bytes({0x00, 0xD0, 0xC0})), corrupt + "channel pressure 192 above 127"},
        {"pitch bend low bits above 127", one_track(bytes({0x00, 0xE0, 0xFF, 0x40})), corrupt + "pitch bend 255 above 127"},
        {"pitch bend high bits above 127", one_track(bytes({0x00, 0xE0, 0x00, 0x80})), corrupt + "pitch bend 128 above 127"},
        {"division 0", one_track(bytes({0x00, 0x90, 0x3C, 0x40}), 0), corrupt + "division of 0 ticks per quarter note"},
        {"tempo 0", one_track(tempo(0)), corrupt + "tempo of 0 microseconds per quarter note"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FATAL(read(c.file), c.message);
    }
}

TEST(MidiReader, EmptyChunkHasNoEvents) {
    MidiNoteData midi = read(midi_header(2, 96) + track_chunk({}) + track_chunk(bytes({0x00, 0x90, 0x3C, 0x40})));
    ASSERT_EQ(midi.tracks.size(), 1u);
    EXPECT_EQ(midi.tracks[0].num_events, 1u);
}

TEST(MidiReader, VariableLengthQuantities) {
    const std::string file = "song.mid";
    const std::pair<Bytes, uint32_t> cases[] = {
        {bytes({0x00}), 0}, {bytes({0x7F}), 127}, {bytes({0x81, 0x00}), 128}, {bytes({0xFF, 0xFF, 0xFF, 0x7F}), 0x0FFFFFFF}};
    for (const auto& c : cases) {
        MidiCursor cursor{c.first.data(), c.first.data() + c.first.size(), c.first.data() + c.first.size(), &file};
        EXPECT_EQ(read_varlen(cursor), c.second);
        EXPECT_EQ(cursor.pos, cursor.end);
    }
    const Bytes be = bytes({0x12, 0x34, 0x56, 0x78});
    MidiCursor cursor{be.data(), be.data() + 4, be.data() + 4, &file};
    EXPECT_FATAL(read_be(cursor, 5), "bytes must be in range 1..4!");
    EXPECT_EQ(read_be(cursor, 3), 0x123456u);
    EXPECT_FATAL(read_be(cursor, 2), "Corrupt MIDI file song.mid: unexpected end of a track chunk");
}

}  // namespace
