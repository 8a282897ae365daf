// Small helpers that several parts share: colours from hue, saturation and
// lightness, string replacement, number formatting and file helpers on top
// of the data layer.
#pragma once

#include <string>

#include "util/math/vector.h"

// Hue, saturation and lightness (x, y, z, each 0..1) to red, green and blue.
vec3 hsl_to_rgb(const vec3& hsl);
// One channel of hsl_to_rgb; t is brought into 0..1 by one step of +1 or -1.
float hue_to_rgb(float p, float q, float t);

// Replaces every occurrence of `from` in `text` by `to`, never searching the
// inserted text again. An empty `from` leaves the text unchanged.
void replace_all(std::string& text, const std::string& from, const std::string& to);

// The value as a stream writes it with that precision (significant digits).
std::string float_to_string(float value, int precision);
std::string int_to_string(int value);

// The whole file as a zero-terminated malloc block (the caller frees it), or
// null when the file is absent. Reads through the data layer.
char* load_text_file(const std::string& name);

// Makes sure a file that is read only after loading ends goes into the
// archive: marks it used in archive-read mode, records it in archive-write
// mode. In every mode a file that is not there ends the run ("Failed to find
// <name>: <reason>"), while loading, not when it would first be read.
void touch_data_file(const std::string& name);

// True for an existing entry on disk that is not a directory.
bool file_exists(const std::string& name);
