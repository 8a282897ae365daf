#include "util/music/midi.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "system/fatal.h"
#include "util/data/data.h"
#include "util/math/scalar.h"

namespace {

[[noreturn]] void corrupt(const MidiCursor& cursor, const std::string& what) {
    FATAL_ERROR("Corrupt MIDI file " << *cursor.file << ": " << what);
}

// The next `count` bytes must lie inside the cursor's stretch.
void need(const MidiCursor& cursor, size_t count) {
    if (static_cast<size_t>(cursor.end - cursor.pos) < count) corrupt(cursor, "unexpected end of a track chunk");
}

uint8_t read_byte(MidiCursor& cursor) {
    need(cursor, 1);
    return *cursor.pos++;
}

// A data byte of a channel message; its top bit is clear in every
// well-formed file (a set bit would be a status byte).
uint8_t read_data_byte(MidiCursor& cursor, const char* what) {
    const uint8_t value = read_byte(cursor);
    if (value > 127) corrupt(cursor, std::string(what) + " " + std::to_string(value) + " above 127");
    return value;
}

// The system's text of a refused file, with the file and the reason.
[[noreturn]] void refuse(const std::string& file, const char* text, const std::string& reason) {
    FATAL_ERROR(DataFile::failure_message(text, file, reason));
}

std::string quoted(const uint8_t* bytes, size_t count) { return "\"" + DataFile::printable(bytes, count) + "\""; }

// The byte that an "Unknown event" message quotes: the one at the read
// position, read as 0 past the file's bytes (a text load ends with a zero).
unsigned quoted_byte(const MidiCursor& cursor) { return cursor.pos < cursor.file_end ? *cursor.pos : 0u; }

// A fixed-size meta event: its one length byte must be `size`.
void expect_length(MidiCursor& cursor, uint8_t size, const char* message) {
    if (read_byte(cursor) != size) FATAL_ERROR(message);
}

}  // namespace

uint32_t read_varlen(MidiCursor& cursor) {
    if (!cursor.pos) FATAL_ERROR("NULL-buffer specified");
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        const uint8_t byte = read_byte(cursor);
        value = (value << 7) | (byte & 0x7Fu);
        if (!(byte & 0x80u)) return value;
    }
    FATAL_ERROR("Found 4 bytes of delta time without a 0 MSB");
}

uint32_t read_be(MidiCursor& cursor, int bytes) {
    if (!cursor.pos) FATAL_ERROR("NULL-buffer specified");
    if (bytes < 1 || bytes > 4) FATAL_ERROR("bytes must be in range 1..4!");
    need(cursor, static_cast<size_t>(bytes));
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = (value << 8) | *cursor.pos++;
    return value;
}

bool read_meta_text(std::string& target, MidiCursor& cursor) {
    read_byte(cursor);  // the type
    const uint32_t length = read_varlen(cursor);
    if (length == 0) return false;
    need(cursor, length);
    const char* text = reinterpret_cast<const char*>(cursor.pos);
    target.assign(text, strnlen(text, length));
    cursor.pos += length;
    return true;
}

MidiNoteData::MidiNoteData(std::string file) : NoteData(file) {
    bpm = 120.0f;
    int32_t length = 0;
    std::unique_ptr<char, decltype(&std::free)> bytes(DataFile::load(file.c_str(), "rb", &length, true, false),
                                                       &std::free);
    if (!bytes) FATAL_ERROR(DataFile::absence_message("Failed to load " + file, file));
    // The text load counts the zero byte it appends.
    read_file(reinterpret_cast<const uint8_t*>(bytes.get()), static_cast<size_t>(length > 0 ? length - 1 : 0), file);
}

MidiNoteData::MidiNoteData(const uint8_t* data, size_t size, const std::string& file) : NoteData(file) {
    bpm = 120.0f;
    read_file(data, size, file);
}

void MidiNoteData::read_file(const uint8_t* data, size_t size, const std::string& file) {
    static const uint8_t kHeader[8] = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
    if (size < sizeof kHeader || std::memcmp(data, kHeader, sizeof kHeader) != 0)
        refuse(file, "  Unknown header info, MIDI file format not recognized\n",
               size < sizeof kHeader
                   ? "a file of " + std::to_string(size) + " bytes"
                   : "it starts with " + quoted(data, sizeof kHeader) + ", not \"MThd\" and length 6");

    const uint8_t* file_end = data + size;
    MidiCursor header{data + 8, file_end, file_end, &file, data};
    if (size < 14) corrupt(header, "the header runs past the end of the file");
    read_be(header, 2);  // the format: every chunk is read the same way
    const uint32_t ntracks = read_be(header, 2);
    const uint16_t division = static_cast<uint16_t>(read_be(header, 2));
    if (division == 0) corrupt(header, "division of 0 ticks per quarter note");

    const uint8_t* pos = header.pos;
    for (uint32_t i = 0; i < ntracks; ++i)
        pos = read_track(MidiCursor{pos, file_end, file_end, &file, data}, division);
}

const uint8_t* MidiNoteData::read_track(MidiCursor cursor, uint16_t division) {
    Track track;
    if (cursor.end - cursor.pos < 4 || std::memcmp(cursor.pos, "MTrk", 4) != 0) {
        const std::string at = cursor.file_begin ? " at byte " + std::to_string(cursor.pos - cursor.file_begin) : "";
        refuse(*cursor.file, " Could not find track chunk header, unrecognized file format!\n",
               cursor.end - cursor.pos < 4 ? "the file ends" + at + ", where a track chunk should start"
                                           : quoted(cursor.pos, 4) + at + " where \"MTrk\" should start a track chunk");
    }
    cursor.pos += 4;
    const uint32_t length = read_be(cursor, 4);
    if (static_cast<size_t>(cursor.end - cursor.pos) < length)
        corrupt(cursor, "a track chunk runs past the end of the file");
    cursor.end = cursor.pos + length;

    uint8_t status = 0;
    uint32_t ticks = 0;
    while (cursor.pos < cursor.end) {
        ticks += read_varlen(cursor);
        const float beat = static_cast<float>(ticks) / static_cast<float>(division);
        need(cursor, 1);
        if (*cursor.pos & 0x80u) status = *cursor.pos++;  // else running status
        if (status == 0xF0 || status == 0xF7) FATAL_ERROR("  Got SysEx event, not supported yet, panicking!");
        if (status == 0xFF) {
            read_meta_event(track, cursor);
        } else if (status >= 0x80 && status <= 0xEF) {
            read_channel_message(track, cursor, status, beat);
        } else {
            const unsigned b = quoted_byte(cursor);
            FATAL_ERROR("Unknown event " << b / 16 << " from " << b << ", corrupt MIDI file? Panicking!");
        }
    }
    if (track.num_events > 0) tracks.push_back(track);
    return cursor.pos;
}

void MidiNoteData::read_channel_message(Track& track, MidiCursor& cursor, uint8_t status, float beat) {
    switch (status >> 4) {
        case 0x8:
        case 0x9: {
            ++track.num_events;
            const uint8_t key = read_data_byte(cursor, "key");
            uint8_t velocity = read_data_byte(cursor, "velocity");
            if ((status >> 4) == 0x8) velocity = 0;  // the release velocity is not kept
            Note& note = track.note_for_key(key);
            const bool silent = note.times.empty() || is_release(note.times.back());
            if (velocity == 0 && (note.times.empty() || !is_release(note.times.back()))) {
                note.times.push_back(-beat);
                note.velocities.push_back(0);
            } else if (velocity > 0 && silent) {
                note.times.push_back(beat);
                note.velocities.push_back(velocity);
            }
            break;
        }
        case 0xB: {
            const uint8_t controller = read_data_byte(cursor, "controller");
            const uint8_t value = read_data_byte(cursor, "controller value");
            if (controller == 7) {
                track.volume = value;
            } else if (controller == 10) {
                track.pan = value;
            } else {
                track.lanes[controller].times.push_back(beat);
                track.lanes[controller].values.push_back(value);
            }
            break;
        }
        case 0xC: FATAL_ERROR("MIDI_PROGRAM");
        // Read only to be skipped, but checked like every other data byte:
        // a set top bit means the file is not what it claims.
        case 0xD: read_data_byte(cursor, "channel pressure"); break;
        case 0xA:
            read_data_byte(cursor, "pressed key");
            read_data_byte(cursor, "key pressure");
            break;
        default:  // 0xE pitch bend, low then high seven bits
            read_data_byte(cursor, "pitch bend");
            read_data_byte(cursor, "pitch bend");
            break;
    }
}

void MidiNoteData::read_meta_event(Track& track, MidiCursor& cursor) {
    need(cursor, 1);
    const uint8_t type = *cursor.pos;
    switch (type) {
        case 0x01:
            if (!read_meta_text(text, cursor)) FATAL_ERROR("Retrieving text info failed!");
            return;
        case 0x02:
            if (!read_meta_text(copyright, cursor)) FATAL_ERROR("Retrieving copyright info failed!");
            return;
        case 0x03:
            if (!read_meta_text(track.name, cursor)) FATAL_ERROR("Retrieving track name failed!");
            return;
        case 0x00: FATAL_ERROR("MIDI_META_SEQNUM");
        case 0x04: FATAL_ERROR("MIDI_META_INSTR_NAME");
        case 0x05: FATAL_ERROR("MIDI_META_LYRIC");
        case 0x06: FATAL_ERROR("MIDI_META_MARKER");
        case 0x07: FATAL_ERROR("MIDI_META_CUE_POINT");
        case 0x20: FATAL_ERROR("MIDI_META_CH_PREFIX");
        case 0x54: FATAL_ERROR("MIDI_META_SMPTE_OFFS");
        case 0x7F: FATAL_ERROR("MIDI_META_CUSTOM");
        default: break;
    }
    ++cursor.pos;
    switch (type) {
        case 0x2F: expect_length(cursor, 0, "Expected 0x00"); return;
        case 0x51: {
            expect_length(cursor, 3, "Expected 0x03");
            const uint32_t us = read_be(cursor, 3);
            if (us == 0) corrupt(cursor, "tempo of 0 microseconds per quarter note");
            bpm = round_decimals(60000000.0f / static_cast<float>(us), 2);
            return;
        }
        case 0x58: {
            expect_length(cursor, 4, "Expected 0x04");
            time_sig_numerator = read_byte(cursor);
            const uint8_t power = read_byte(cursor);
            time_sig_denominator = power < 8 ? static_cast<uint8_t>(1u << power) : 0;
            time_sig_clocks = read_byte(cursor);
            time_sig_32nds = read_byte(cursor);
            return;
        }
        case 0x59:
            expect_length(cursor, 2, "Expected 0x02");
            key_sig_sharps = static_cast<int8_t>(read_byte(cursor));
            key_sig_minor = read_byte(cursor) == 1;
            return;
    }
    FATAL_ERROR("  Unknown meta event, panicking!");
}
