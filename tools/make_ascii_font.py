#!/usr/bin/python3
"""Makes the character screen's compiled-in font sheet.

The sheet is a 640 x 120 RGBA PNG of 80 x 10 cells of 8 x 12 pixels: code n
of code page 437 in cell (n % 80, n / 80), white on black (codes 0, 32 and
255 blank); cell rows 4 to 7 hold the same glyphs inverted, cell row 8 the 16
palette colours as solid cells, cell row 9 is black.

The glyphs come from the X11 misc-fixed 8x13 font (Debian package
xfonts-base, public domain; its notice is in
src/util/ascii/font_sheet.LICENSE): each code page 437 code is mapped to its
Unicode character and that glyph of the font is taken, less the font's top
row (blank in all but a few accented capitals) so that it fits 12 rows. The
printable ASCII characters (33-126) and the accented letters and signs of
128-175 come from the bold cut of the same font, 8x13B, where it has them:
the scenes build pictures and big lettering out of the first ('#', 'o', '8',
':') and the fire burns in the second, and a one-pixel stroke shrunk to a
window of 640 x 360 leaves such a picture grey and dotted. The bold cut lacks
most of the line-drawing characters, which stay in the regular weight. The shades and half
blocks are drawn here instead, so that they tile without seams.

    tools/make_ascii_font.py [font.pcf.gz [sheet.png]] > src/util/ascii/font_sheet_png.cpp

Only the Python standard library is needed.
"""
import gzip
import struct
import sys
import zlib

FONT = "/usr/share/fonts/X11/misc/8x13.pcf.gz"
BOLD = "/usr/share/fonts/X11/misc/8x13B.pcf.gz"
BOLD_CODES = set(range(33, 127)) | set(range(128, 176))
CELL_W, CELL_H = 8, 12
SHEET_W, SHEET_H = 80 * CELL_W, 10 * CELL_H

# The palette of the screen, 0..1 per channel.
PALETTE = [
    (0, 0, 0), (0, 0, 0.5), (0, 0.5, 0), (0, 0.5, 0.5),
    (0.5, 0, 0), (0.5, 0, 0.5), (0.5, 0.5, 0), (0.75, 0.75, 0.75),
    (0.5, 0.5, 0.5), (0, 0, 1), (0, 1, 0), (0, 1, 1),
    (1, 0, 0), (1, 0, 1), (1, 1, 0), (1, 1, 1),
]

# Code page 437's pictures for the control codes 1..31 and 127; the rest of
# the page is Python's cp437 codec.
CONTROL_PICTURES = (
    "\u263a\u263b\u2665\u2666\u2663\u2660\u2022\u25d8\u25cb\u25d9\u2642\u2640\u266a\u266b\u263c"
    "\u25ba\u25c4\u2195\u203c\u00b6\u00a7\u25ac\u21a8\u2191\u2193\u2192\u2190\u221f\u2194\u25b2\u25bc")


def unicode_of(code):
    if code in (0, 32, 255):
        return None  # blank by definition
    if 1 <= code <= 31:
        return CONTROL_PICTURES[code - 1]
    if code == 127:
        return "\u2302"
    return bytes([code]).decode("cp437")


# --- PCF reading (the X11 portable compiled font format) ---------------------

PCF_METRICS, PCF_BITMAPS, PCF_BDF_ENCODINGS, PCF_BDF_ACCELERATORS = 4, 8, 32, 256
PCF_ACCELERATORS = 2
PCF_COMPRESSED_METRICS = 0x100


class Table:
    def __init__(self, data, offset):
        self.data = data
        self.pos = offset
        self.format = struct.unpack_from("<I", data, offset)[0]
        self.pos += 4
        self.big = bool(self.format & 4)

    def read(self, fmt):
        fmt = (">" if self.big else "<") + fmt
        values = struct.unpack_from(fmt, self.data, self.pos)
        self.pos += struct.calcsize(fmt)
        return values if len(values) > 1 else values[0]


def read_pcf(path):
    data = gzip.open(path).read() if path.endswith(".gz") else open(path, "rb").read()
    if data[:4] != b"\x01fcp":
        sys.exit("not a PCF font: " + path)
    count = struct.unpack_from("<I", data, 4)[0]
    tables = {}
    for i in range(count):
        kind, _fmt, _size, offset = struct.unpack_from("<IIII", data, 8 + 16 * i)
        tables[kind] = offset

    t = Table(data, tables[PCF_BDF_ACCELERATORS if PCF_BDF_ACCELERATORS in tables else PCF_ACCELERATORS])
    t.read("8B")
    font_ascent, font_descent = t.read("ii")

    t = Table(data, tables[PCF_METRICS])
    metrics = []
    if t.format & PCF_COMPRESSED_METRICS:
        for _ in range(t.read("h")):
            l, r, w, a, d = (v - 0x80 for v in t.read("5B"))
            metrics.append((l, r, w, a, d))
    else:
        for _ in range(t.read("i")):
            l, r, w, a, d, _attr = t.read("hhhhhH")
            metrics.append((l, r, w, a, d))

    t = Table(data, tables[PCF_BITMAPS])
    glyph_count = t.read("i")
    offsets = [t.read("i") for _ in range(glyph_count)]
    t.read("4i")
    bitmap_start = t.pos
    pad = 1 << (t.format & 3)
    msbit_first = bool(t.format & 8)

    t_enc = Table(data, tables[PCF_BDF_ENCODINGS])
    min2, max2, min1, max1, _default = t_enc.read("5h")
    per_row = max2 - min2 + 1

    def glyph_index(cp):
        b1, b2 = cp >> 8, cp & 0xFF
        if not (min1 <= b1 <= max1 and min2 <= b2 <= max2):
            return None
        t_enc.pos = 4 + tables[PCF_BDF_ENCODINGS] + 10 + 2 * ((b1 - min1) * per_row + (b2 - min2))
        index = t_enc.read("H")
        return None if index == 0xFFFF else index

    def glyph_rows(cp):
        """The glyph as font_ascent + font_descent rows of 8 booleans, or None."""
        index = glyph_index(cp)
        if index is None:
            return None
        l, r, _w, a, d = metrics[index]
        stride = ((r - l + 7) // 8 + pad - 1) // pad * pad
        rows = [[False] * CELL_W for _ in range(font_ascent + font_descent)]
        for y in range(a + d):
            row = font_ascent - a + y
            for x in range(r - l):
                byte = data[bitmap_start + offsets[index] + y * stride + x // 8]
                bit = (byte >> (7 - x % 8)) & 1 if msbit_first else (byte >> (x % 8)) & 1
                col = l + x
                if bit and 0 <= row < len(rows) and 0 <= col < CELL_W:
                    rows[row][col] = True
        return rows

    return glyph_rows, font_ascent + font_descent


# --- glyphs drawn here ---------------------------------------------------------

def drawn_glyph(code):
    """Shades and blocks, made to tile; None for the codes the font supplies."""
    if code in (0xB0, 0xB1, 0xB2):
        # light: one pixel in four, staggered; medium: a checkerboard; dark:
        # the light pattern inverted. Periods of 2 and 4 divide the cell.
        def light(x, y):
            return x % 4 == (0 if y % 2 == 0 else 2)

        def lit(x, y):
            if code == 0xB0:
                return light(x, y)
            if code == 0xB1:
                return (x + y) % 2 == 0
            return not light(x, y)
        return [[lit(x, y) for x in range(CELL_W)] for y in range(CELL_H)]
    boxes = {
        0xDB: (0, 0, CELL_W, CELL_H),          # full block
        0xDC: (0, CELL_H // 2, CELL_W, CELL_H),  # lower half
        0xDD: (0, 0, CELL_W // 2, CELL_H),     # left half
        0xDE: (CELL_W // 2, 0, CELL_W, CELL_H),  # right half
        0xDF: (0, 0, CELL_W, CELL_H // 2),     # upper half
    }
    if code in boxes:
        x0, y0, x1, y1 = boxes[code]
        return [[x0 <= x < x1 and y0 <= y < y1 for x in range(CELL_W)] for y in range(CELL_H)]
    return None


def glyphs(font_path, bold_path):
    glyph_rows, font_height = read_pcf(font_path)
    bold_rows, bold_height = read_pcf(bold_path)
    if bold_height != font_height:
        sys.exit("the bold font is not as tall as the regular one")
    drop_top = font_height - CELL_H
    result, missing = [], []
    for code in range(256):
        glyph = drawn_glyph(code)
        ch = unicode_of(code)
        if glyph is None and ch is not None:
            rows = bold_rows(ord(ch)) if code in BOLD_CODES else None
            rows = rows or glyph_rows(ord(ch))
            if rows is None:
                missing.append(code)
            else:
                glyph = rows[drop_top:drop_top + CELL_H]
        result.append(glyph or [[False] * CELL_W for _ in range(CELL_H)])
    return result, missing


# --- the sheet -----------------------------------------------------------------

def sheet(glyph_list):
    pixels = [[(0, 0, 0)] * SHEET_W for _ in range(SHEET_H)]

    def fill_cell(cell, colour_of):
        cx, cy = cell % 80 * CELL_W, cell // 80 * CELL_H
        for y in range(CELL_H):
            for x in range(CELL_W):
                pixels[cy + y][cx + x] = colour_of(x, y)

    white, black = (255, 255, 255), (0, 0, 0)
    for code, glyph in enumerate(glyph_list):
        fill_cell(code, lambda x, y: white if glyph[y][x] else black)
        blank = code in (0, 32, 255)
        fill_cell(4 * 80 + code, lambda x, y: black if blank or glyph[y][x] else white)
    for i, (r, g, b) in enumerate(PALETTE):
        colour = tuple(min(255, int(round(c * 255))) for c in (r, g, b))
        fill_cell(8 * 80 + i, lambda x, y: colour)
    return pixels


def png(pixels):
    height, width = len(pixels), len(pixels[0])
    raw = b"".join(b"\x00" + bytes(v for p in row for v in (*p, 255)) for row in pixels)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def cpp_source(data, missing):
    lines = [
        "// Generated by tools/make_ascii_font.py from the X11 misc-fixed 8x13 and 8x13B",
        "// fonts (Debian xfonts-base, public domain: font_sheet.LICENSE). Do not edit.",
    ]
    if missing:
        lines.append("// Codes without a glyph in the font (left blank): " +
                     ", ".join(str(c) for c in missing) + ".")
    lines += ['#include "util/ascii/font_sheet.h"', "", "const unsigned char kAsciiFontSheetPng[] = {"]
    for i in range(0, len(data), 16):
        lines.append("    " + ", ".join("0x%02x" % b for b in data[i:i + 16]) + ",")
    lines += ["};", "", "const int kAsciiFontSheetPngSize = %d;" % len(data), ""]
    return "\n".join(lines)


def main():
    font = sys.argv[1] if len(sys.argv) > 1 and sys.argv[1] else FONT
    glyph_list, missing = glyphs(font, BOLD)
    data = png(sheet(glyph_list))
    if len(sys.argv) > 2:
        with open(sys.argv[2], "wb") as f:  # the PNG itself, to look at
            f.write(data)
    sys.stdout.write(cpp_source(data, missing))
    if missing:
        sys.stderr.write("no glyph for codes %s\n" % missing)


if __name__ == "__main__":
    main()
