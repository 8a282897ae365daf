// The piano scene's screen without drawing: two-octave keyboards in
// text-mode characters whose keys light with the notes that sound, and the
// rows of keyboards and block-letter greetings that scroll over the screen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "util/ascii/ascii_screen.h"
#include "util/ascii/block_font.h"

// Keyboard geometry, in cells.
constexpr int kPianoTopHeight = 6;
constexpr int kPianoKeyHeight = 12;
constexpr int kPianoHeight = kPianoTopHeight + kPianoKeyHeight;
constexpr int kPianoBlackKeyHeight = 7;
constexpr int kPianoWidth = 57;
constexpr int kPianoItemGap = 4;
constexpr int kPianoFirstKey = 36;
constexpr int kPianoKeys = 24;

// A key: its shape (0 black; white with a black key 1 to its right only,
// 2 on both sides, 3 to its left only) and its MIDI key.
struct PianoKey {
    int shape;
    int note;
};
// Keys 36 to 59, C to B twice.
std::vector<PianoKey> piano_keys();

// The notes that sound: the MIDI key of each note of the track and whether
// it sounds now, in the track's note order.
struct SoundingNotes {
    std::vector<uint8_t> lookup;
    std::vector<bool> states;
    // Whether the first note of that key sounds; a key the track lacks
    // never does.
    bool sounds(int note) const;
};

// A keyboard at (top, left): cabinet, panel and keys, lit keys white.
void draw_keyboard(AsciiScreen& screen, int top, int left, const std::vector<PianoKey>& keys,
                   const SoundingNotes& notes);

// One item of a scrolling row: a keyboard (empty text) or a line of block
// letters, at column x of the row, `width` columns with the gap after it.
struct PianoItem {
    bool keyboard;
    std::string text;
    int x;
    int width;
};
// The items of these texts (an empty one a keyboard), laid out in order.
std::vector<PianoItem> layout_piano_items(const std::vector<std::string>& texts);

// The upper and lower rows' texts: keyboards and the greetings.
std::vector<std::string> piano_upper_texts();
std::vector<std::string> piano_lower_texts();
// The closing lines: the name of the event, then the year.
extern const char* const kPianoEventName;
extern const char* const kPianoYear;

// A row's items from column x0 on at `base_row`: items past the right edge
// end the row, items wholly left of the screen are skipped; texts sit six
// rows below the keyboards' tops.
void draw_piano_row(AsciiScreen& screen, AsciiFont& font, const std::vector<PianoItem>& items, int base_row,
                    int64_t x0, const std::vector<PianoKey>& keys, const SoundingNotes& notes);

// The rows' positions in a frame.
struct PianoRows {
    int upper_row, lower_row;
    int64_t upper_x0, lower_x0;
};
// From the scroll position, the two speeds and the beat: each row bounces
// five cells up and down with the beat and starts at the right edge.
PianoRows piano_rows(float progress, float speed1, float speed2, float beats);

// The closing lines when `last_text` is above -100: the event at row
// last_text + 15 from column 5, the year at row last_text + 30 from 40.
void draw_closing_lines(AsciiFont& font, int last_text);
