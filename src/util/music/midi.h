// The Standard MIDI File reader: one track per track chunk that holds note
// events, a note per key whose times alternate between presses and
// releases, the controller lanes and the song's tempo. It reads a subset of
// the format; anything outside it, and every malformed or truncated part,
// ends the run with a message that names what was met.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "util/music/notedata.h"

// A read position inside a bounded stretch of a MIDI file (a track chunk,
// or the header). Reading past `end` ends the run; `file_end` bounds the
// bytes that messages may quote.
struct MidiCursor {
    const uint8_t* pos;
    const uint8_t* end;
    const uint8_t* file_end;
    const std::string* file;  // for messages
    const uint8_t* file_begin = nullptr;  // for messages: where a byte lies
};

// A variable-length quantity: at most four bytes of seven bits each, the
// first most significant.
uint32_t read_varlen(MidiCursor& cursor);
// `bytes` (1..4) bytes as one big-endian number.
uint32_t read_be(MidiCursor& cursor, int bytes);
// A text meta event, the cursor at its type byte: stores the text (up to
// its first zero byte) and returns true, or returns false for an empty one.
bool read_meta_text(std::string& target, MidiCursor& cursor);

class MidiNoteData : public NoteData {
public:
    // Reads the file through the data layer.
    explicit MidiNoteData(std::string file);
    // Reads a file already in memory; `file` names it in messages.
    MidiNoteData(const uint8_t* data, size_t size, const std::string& file);

    std::string copyright;
    std::string text;
    uint8_t time_sig_numerator = 4;
    uint8_t time_sig_denominator = 4;
    uint8_t time_sig_clocks = 24;
    uint8_t time_sig_32nds = 8;
    int8_t key_sig_sharps = 0;
    bool key_sig_minor = false;

private:
    void read_file(const uint8_t* data, size_t size, const std::string& file);
    // Reads the track chunk at the cursor; returns the position after it.
    const uint8_t* read_track(MidiCursor cursor, uint16_t division);
    void read_meta_event(Track& track, MidiCursor& cursor);
    void read_channel_message(Track& track, MidiCursor& cursor, uint8_t status, float beat);
};
