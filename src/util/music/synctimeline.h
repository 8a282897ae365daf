// Sync timelines: a production's sync tracks as readable text, one key a
// line, which the `synctimeline` tool compiles into track files and dumps
// back from them.
//
//   # comment                      ("#" starts a comment, anywhere)
//   <track> <position> <value> <interpolation>
//   <track>
//
// - track: the track name, as the scenes register it (no blanks, "/", "#").
// - position: a row ("130", "-4") or a beat with a "b" suffix ("16b",
//   "2.5b" = row 20); 8 rows make a beat, so a beat must land on a row.
// - value: a decimal number; written back with 9 significant digits, which
//   gives the same 32-bit float again. "nan" and "-nan" are the plain NaNs;
//   any other NaN is written as "nan:0x" and its 32 bits in hexadecimal
//   ("nan:0x7fa00001"), so that it too comes back bit for bit.
// - interpolation: the curve from this key to the next one: "step",
//   "linear", "smooth" or "ramp" (t squared); another type code as a number
//   from -128 to 127.
// A line with only a track name declares a track without keys: its file
// holds a key count of 0, so the track reads the default its scene registers.
// Keys may come in any order; a second key for the same track and row is an
// error.
#pragma once

#include <string>
#include <vector>

#include "util/music/synctrack.h"

namespace SyncTimeline {

// The tracks of a timeline in order of first mention, keys sorted by row.
// On an error returns false with "line <n>: <reason>" in `error`.
bool parse(const std::string& text, std::vector<SyncTrack>* tracks, std::string* error);

// The text of the tracks, aligned in columns: beats where a key sits on a
// beat, rows elsewhere.
std::string format(const std::vector<SyncTrack>& tracks);

// "" for a usable track name, else why not.
std::string check_name(const std::string& name);

}  // namespace SyncTimeline
