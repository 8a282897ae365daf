#!/usr/bin/python3
"""Writes the seed corpora of the raw-picture and text-picture fuzz targets
(fuzz/corpus/raw_picture/, fuzz/corpus/text_picture/). Deterministic.
The found_* files next to them are small inputs kept from fuzzing runs."""
import os
import struct

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def write(kind, name, data):
    os.makedirs(os.path.join(root, kind), exist_ok=True)
    with open(os.path.join(root, kind, name), "wb") as f:
        f.write(data)


# --- raw pictures: <w:i16><h:i16><col:i8><row:i8><angle:u8><scale:i8> bytes
def raw(w, h, col, row, angle, scale, body):
    return struct.pack("<hhbbBb", w, h, col, row, angle, scale) + body


def pattern(w, h):
    return bytes((r + 2 * c) % 16 for r in range(h) for c in range(w))


write("raw_picture", "screen_80x50", raw(80, 50, 0, 0, 0, 16, pattern(80, 50)))
write("raw_picture", "wide_shifted", raw(120, 20, 10, -3, 64, 16, pattern(120, 20)))
write("raw_picture", "turned_scaled", raw(30, 20, -2, 1, 96, 40, pattern(30, 20)))
write("raw_picture", "one_pixel", raw(1, 1, 0, 0, 200, -16, b"\x0d"))
write("raw_picture", "trailing_bytes", raw(4, 4, 0, 0, 0, 16, pattern(4, 4) + b"trailing"))
write("raw_picture", "short", raw(16, 16, 0, 0, 0, 16, pattern(16, 15)))
write("raw_picture", "not_indices", raw(8, 2, 0, 0, 0, 16, b"PNG image data.."))
write("raw_picture", "zero_width", raw(0, 10, 0, 0, 0, 16, b""))
write("raw_picture", "negative_height", raw(10, -1, 0, 0, 0, 16, pattern(10, 1)))
write("raw_picture", "oversized", raw(32767, 32767, 0, 0, 0, 16, pattern(8, 8)))

# --- text pictures
write("text_picture", "three_lines", b"ab\nabcd\n\n")
write("text_picture", "crlf", b" _\r\n|_|)\r\n")
write("text_picture", "no_final_feed", b"  /\\_/\\\n ( o.o )\n  > ^ <")
write("text_picture", "high_characters", bytes([219, 219, 176, 10, 177, 178, 10]))
write("text_picture", "lone_cr", b"a\rb\n\r\n")
write("text_picture", "empty", b"")
write("text_picture", "zero_byte", b"ab\x00cd\n")
write("text_picture", "long_line", b"x" * 5000 + b"\n")
