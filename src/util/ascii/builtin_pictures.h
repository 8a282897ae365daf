// The character screen's four built-in pictures, 50 rows of exactly 80
// printable characters on a '.' background: 0 and 1 the group's emblem (1
// with a band of spaces over its left part), 2 and 3 lettering. Drawn by
// tools/make_ascii_pictures.py.
#pragma once

extern const char* const kAsciiBuiltinPictures[4][50];
