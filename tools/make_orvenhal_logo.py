#!/usr/bin/python3
"""Draws the logo of the group "Orvenhal" for the loading screen: a 16:9
picture (960 x 540) shown over the whole screen while a production loads,
with the progress bar drawn over its lower edge, so that part stays plain.

A night-blue field, a ring of eight arcs that open like a lens, and the
name in wide-spaced capitals of the Quicksand face the project already
carries (data/common/fonts/GeosansLight.ttf, SIL OFL).

    tools/make_orvenhal_logo.py [output.png]

Needs python3-pil. Deterministic.
"""
import math
import os
import sys

from PIL import Image, ImageDraw, ImageFilter, ImageFont

W, H = 960, 540
ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
FONT = os.path.join(ROOT, "data", "common", "fonts", "GeosansLight.ttf")
SCALE = 3  # drawn larger and shrunk, for smooth edges


def background():
    img = Image.new("RGB", (W, H))
    px = img.load()
    for y in range(H):
        for x in range(W):
            # A soft glow behind the emblem, fading to near black.
            d = math.hypot((x - W / 2) / W, (y - H * 0.40) / H)
            glow = max(0.0, 1.0 - d * 1.9)
            px[x, y] = (int(6 + 22 * glow * glow), int(10 + 34 * glow * glow), int(24 + 70 * glow * glow))
    return img


def emblem(size):
    layer = Image.new("L", (size * SCALE, size * SCALE), 0)
    draw = ImageDraw.Draw(layer)
    c = size * SCALE / 2
    for ring, (radius, width) in enumerate(((0.46, 0.035), (0.34, 0.03))):
        r = radius * size * SCALE
        box = (c - r, c - r, c + r, c + r)
        turn = 22.5 if ring else 0.0
        for i in range(8):
            start = i * 45 + turn + 6
            draw.arc(box, start, start + 33, fill=255, width=int(width * size * SCALE))
    r = 0.12 * size * SCALE
    draw.ellipse((c - r, c - r, c + r, c + r), fill=255)
    return layer.resize((size, size), Image.LANCZOS)


def lettering(text, height, spacing):
    font = ImageFont.truetype(FONT, height * SCALE)
    widths = [font.getbbox(ch)[2] for ch in text]
    total = sum(widths) + spacing * SCALE * (len(text) - 1)
    layer = Image.new("L", (int(total) + 4 * SCALE, int(height * SCALE * 1.4)), 0)
    draw = ImageDraw.Draw(layer)
    x = 2 * SCALE
    for ch, w in zip(text, widths):
        draw.text((x, 0), ch, font=font, fill=255)
        x += w + spacing * SCALE
    layer = layer.crop(layer.getbbox())
    return layer.resize((layer.width // SCALE, layer.height // SCALE), Image.LANCZOS)


def paste_colour(img, mask, at, colour, glow=0):
    if glow:
        halo = mask.filter(ImageFilter.GaussianBlur(glow))
        img.paste(Image.new("RGB", mask.size, tuple(c // 2 for c in colour)), at, halo)
    img.paste(Image.new("RGB", mask.size, colour), at, mask)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "data", "common", "images", "orvenhal_logo_16_9.png")
    img = background()
    mark = emblem(220)
    paste_colour(img, mark, ((W - mark.width) // 2, int(H * 0.40) - mark.height // 2), (150, 205, 255), glow=6)
    name = lettering("ORVENHAL", 64, 26)
    paste_colour(img, name, ((W - name.width) // 2, int(H * 0.66)), (232, 240, 255), glow=4)
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    img.save(out, optimize=True)
    print(f"wrote {out}")


if __name__ == "__main__":
    main()
