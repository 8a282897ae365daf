#!/usr/bin/python3
"""Draws the character-screen pictures of "Quendle":

    data/common/raw_ascii/quorvan.raw             80 x 50: a vinyl record with
        its label, drawn a quarter turn round so that the rotozoom scene,
        which turns it back, shows it upright; colour 0 around it is
        transparent there
    data/common/raw_ascii/zemblas.raw             256 x 256: a seamless tile of
        dark blue diamonds for the rotozoomer, calm enough for the lettering
        to stand out over it
    data/common/raw_ascii/quendle_4_300x120.raw   300 x 120: the big lettering,
        "QUENDLE" over "CHIPTUNE" (white through yellow to red and to green), on colour 13 (bright magenta), which the
        drop scene leaves as holes
    data/common/asciiart/xr_mug.asc               a mug of coffee in text

A raw picture is one byte a pixel, a colour index 0..15 of the PC text-mode
palette with bits 0 and 2 exchanged (the program's remap is its own
inverse, so the same table encodes).

    tools/make_quendle_pictures.py [data folder]

Standard library only; deterministic.
"""
import math
import os
import sys

# Palette index -> file byte (and back): bits 0 and 2 exchanged.
REMAP = [0, 4, 2, 6, 1, 5, 3, 7, 8, 12, 10, 14, 9, 13, 11, 15]

# 5 x 7 capitals, bold enough to read when blown up.
FONT = {
    "Q": ["01110", "10001", "10001", "10001", "10101", "10010", "01101"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "C": ["01111", "10000", "10000", "10000", "10000", "10000", "01111"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    "I": ["11111", "00100", "00100", "00100", "00100", "00100", "11111"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
}


def encode(pixels):
    return bytes(REMAP[p] for row in pixels for p in row)


def record():
    """The record on a 50 x 50 cell screen area (cells are 8 x 12 pixels,
    so the disc is measured in pixels to come out round), then laid into
    the 80 x 50 picture the way the scene's quarter turn reads it: screen
    cell (i, 16 + k) shows picture pixel (row 49 - k, column i + 15)."""
    screen = [[0] * 50 for _ in range(50)]
    cx, cy = 25 * 8, 25 * 12
    for i in range(50):
        for k in range(50):
            x, y = k * 8 + 4 - cx, i * 12 + 6 - cy
            r = math.hypot(x, y)
            angle = math.atan2(y, x)
            if r < 12 or r > 196:
                continue  # the spindle hole and the outside: transparent
            if r < 70:
                colour = 12 if r > 62 or r < 20 else 4  # the red label, a bright rim
                if 28 < r < 52 and abs(x) < 14:  # a white stripe across the label
                    colour = 15
            else:
                colour = 8 if int(r / 12) % 2 else 7  # grooves
                if abs(math.sin(angle - 0.8)) < 0.18:  # light catching the grooves
                    colour = 15
                if r > 188:
                    colour = 8
            screen[i][k] = colour
    picture = [[0] * 80 for _ in range(50)]
    for i in range(50):
        for k in range(50):
            picture[49 - k][i + 15] = screen[i][k]
    return picture


def tile():
    """Diamonds from sums of sines whose periods divide 256: seamless."""
    bands = [0, 0, 1, 1, 9, 1, 1, 0, 8, 8, 0, 0]
    pixels = []
    for y in range(256):
        row = []
        for x in range(256):
            v = (math.sin(2 * math.pi * x / 128) + math.sin(2 * math.pi * y / 128) +
                 math.sin(2 * math.pi * (x + y) / 256) * 0.8)
            row.append(bands[int((v + 2.8) / 5.6 * len(bands)) % len(bands)])
        pixels.append(row)
    return pixels


def lettering():
    """Two lines of blown-up capitals with a black shadow, coloured by row
    from white through yellow to red, on the hole colour."""
    width, height, hole = 300, 120, 13
    pixels = [[hole] * width for _ in range(height)]

    def word(text, top, scale_x, scale_y, gap, ramp):
        glyph_w = 5 * scale_x
        total = len(text) * glyph_w + (len(text) - 1) * gap
        left = (width - total) // 2
        for n, ch in enumerate(text):
            x0 = left + n * (glyph_w + gap)
            for gy, line in enumerate(FONT[ch]):
                for gx, bit in enumerate(line):
                    if bit != "1":
                        continue
                    for dy in range(scale_y):
                        for dx in range(scale_x):
                            y, x = top + gy * scale_y + dy, x0 + gx * scale_x + dx
                            # The shadow, one cell down and two across,
                            # only on holes: letters always cover it.
                            if pixels[y + 1][x + 2] == hole:
                                pixels[y + 1][x + 2] = 0
                            pixels[y][x] = ramp[(gy * scale_y + dy) * len(ramp) // (7 * scale_y)]

    word("QUENDLE", 8, 6, 4, 8, [15, 15, 14, 14, 14, 12, 12, 4])
    word("CHIPTUNE", 62, 5, 4, 7, [15, 15, 14, 14, 10, 10, 10, 2])
    return pixels


MUG = r"""
      (  )   (   )  )
       ) (   )  (  (
       ( )  (    ) )
       _____________
      <_____________> ___
      |             |/ _ \
      |   QUENDLE     | | |
      |               |_| |
   ___|             |\___/
  /    \___________/    \
  \_____________________/
"""


def main():
    data = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "data")
    raw = os.path.join(data, "common", "raw_ascii")
    art = os.path.join(data, "common", "asciiart")
    os.makedirs(raw, exist_ok=True)
    os.makedirs(art, exist_ok=True)
    outputs = {
        os.path.join(raw, "quorvan.raw"): encode(record()),
        os.path.join(raw, "zemblas.raw"): encode(tile()),
        os.path.join(raw, "quendle_4_300x120.raw"): encode(lettering()),
        os.path.join(art, "xr_mug.asc"): MUG.lstrip("\n").encode("ascii"),
    }
    for path, data_bytes in outputs.items():
        with open(path, "wb") as f:
            f.write(data_bytes)
        print(f"wrote {path} ({len(data_bytes)} bytes)")


if __name__ == "__main__":
    main()
