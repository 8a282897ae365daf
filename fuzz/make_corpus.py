#!/usr/bin/env python3
"""Writes the small seed corpora of the inflate, PNG and BMP fuzz targets
(fuzz/corpus/<name>/). Deterministic; run from the repository root.
The found_* files next to them are small inputs kept from fuzzing runs."""
import os
import random
import struct
import zlib

rng = random.Random(1234)
root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def write(kind, name, data):
    os.makedirs(os.path.join(root, kind), exist_ok=True)
    with open(os.path.join(root, kind, name), "wb") as f:
        f.write(data)


def compress(data, level=6, wbits=15, strategy=zlib.Z_DEFAULT_STRATEGY):
    c = zlib.compressobj(level, zlib.DEFLATED, wbits, 8, strategy)
    return c.compress(data) + c.flush()


# --- inflate: every block type and strategy, windows 8..15
text = b"the quick brown fox jumps over the lazy dog " * 12
runs = bytes([7]) * 300 + bytes(range(256)) + bytes([1, 2, 3]) * 50
noise = bytes(rng.getrandbits(8) for _ in range(400))
cases = [
    ("stored", compress(text, 0)),
    ("fixed", compress(text, 6, 15, zlib.Z_FIXED)),
    ("dynamic", compress(text, 9)),
    ("huffman_only", compress(noise, 6, 15, zlib.Z_HUFFMAN_ONLY)),
    ("rle", compress(runs, 6, 15, zlib.Z_RLE)),
    ("filtered", compress(runs + text, 6, 15, zlib.Z_FILTERED)),
    ("window8", compress(text + runs, 9, 9)),
    ("window12", compress(noise + text, 1, 12)),
    ("empty", compress(b"")),
    ("one_byte", compress(b"x")),
    ("btype3", bytes([0x78, 0x9C, 0x07])),
    ("fdict", bytes([0x78, 0xBB, 0, 0, 0, 1])),
]
for name, data in cases:
    write("inflate", name, data)


# --- png: every accepted colour type and depth, plain and interlaced
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def adam7_rows(w, h, bpp, pixels_row):
    """Scanlines (filter byte 0 + packed row) for the passes of Adam7."""
    passes = [(0, 8, 0, 8), (4, 8, 0, 8), (0, 4, 4, 8), (2, 4, 0, 4), (0, 2, 2, 4), (1, 2, 0, 2), (0, 1, 1, 2)]
    out = b""
    for fc, cs, fr, rs in passes:
        cols = list(range(fc, w, cs))
        rows = list(range(fr, h, rs))
        if not cols or not rows:
            continue
        for r in rows:
            out += bytes([rng.randrange(5)]) + pack_row([pixels_row(r)[c] for c in cols], bpp)
    return out


def pack_row(samples, depth_bits):
    if depth_bits >= 8:
        return b"".join(samples)
    per = 8 // depth_bits
    out = bytearray()
    for i in range(0, len(samples), per):
        v = 0
        group = samples[i:i + per]
        for s in group:
            v = (v << depth_bits) | s[0]
        v <<= depth_bits * (per - len(group))
        out.append(v)
    return bytes(out)


def png(w, h, colour, depth, interlace, extra=b""):
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour]
    bpp = channels * depth
    grid = [[bytes(rng.getrandbits(8) & ((1 << depth) - 1) if depth < 8 else rng.getrandbits(8)
                   for _ in range(channels * max(1, depth // 8))) for _ in range(w)] for _ in range(h)]
    if colour == 3:
        grid = [[bytes([rng.randrange(1 << min(depth, 3))]) for _ in range(w)] for _ in range(h)]
    if interlace:
        raw = adam7_rows(w, h, bpp, lambda r: grid[r])
    else:
        raw = b"".join(bytes([rng.randrange(5)]) + pack_row(grid[r], bpp) for r in range(h))
    ihdr = struct.pack(">IIBBBBB", w, h, depth, colour, 0, 0, interlace)
    body = chunk(b"IHDR", ihdr) + extra
    if colour == 3:
        body += chunk(b"PLTE", bytes(rng.getrandbits(8) for _ in range(3 * 8)))
    body += chunk(b"IDAT", compress(raw, 9))
    return b"\x89PNG\r\n\x1a\n" + body + chunk(b"IEND", b"")


combos = [(0, 1), (0, 8), (2, 8), (2, 16), (3, 4), (3, 8), (4, 8), (6, 8)]
for colour, depth in combos:
    for interlace in (0, 1):
        write("png", "c%d_d%d_i%d" % (colour, depth, interlace), png(9, 7, colour, depth, interlace))
write("png", "trns_palette", png(5, 5, 3, 8, 0, chunk(b"tRNS", bytes([0, 128]))))
write("png", "trns_grey", png(5, 5, 0, 8, 0, chunk(b"tRNS", bytes([0, 7]))))
write("png", "trns_rgb16", png(4, 3, 2, 16, 1, chunk(b"tRNS", bytes(6))))
write("png", "gama", png(3, 3, 6, 8, 1, chunk(b"gAMA", struct.pack(">I", 45455))))
write("png", "refused_grey2", png(4, 4, 0, 2, 0))
write("png", "one_pixel", png(1, 1, 6, 8, 1))

# --- bmp: 24-bit bottom-up, top-down, padded rows, and a few refused ones
def bmp(w, h, bits=24, compression=0, size_image=None, clr=(0, 0), pad=None, trim=0):
    row = w * 3
    if pad is None:
        pad = (4 - row % 4) % 4
    pixels = b"".join(bytes(rng.getrandbits(8) for _ in range(row)) + bytes(pad) for _ in range(abs(h)))
    if size_image is None:
        size_image = len(pixels)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, compression, size_image, 2835, 2835, clr[0], clr[1])
    data = b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54) + info + pixels
    return data[:len(data) - trim] if trim else data


write("bmp", "2x2", bmp(2, 2))
write("bmp", "5x3", bmp(5, 3))
write("bmp", "4x4", bmp(4, 4))
write("bmp", "topdown", bmp(3, -2))
write("bmp", "size_image_0", bmp(3, 3, size_image=0))
write("bmp", "clr_important", bmp(2, 2, clr=(0, 5)))
write("bmp", "bits32", bmp(2, 2, bits=32))
write("bmp", "rle", bmp(2, 2, compression=1))
write("bmp", "last_pad_missing", bmp(2, 2, trim=2))
write("bmp", "short", bmp(2, 2)[:57])
