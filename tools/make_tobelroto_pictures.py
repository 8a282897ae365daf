#!/usr/bin/python3
"""Draws the two pictures of the low-resolution picture scene:

- harvest_of_the_owls_2017_guys_transparent.png: two small owl-like figures,
  100 x 140 pixels, on a transparent background;
- pegboard_hearts.jpeg: a 64 x 64 tileable pattern of red hearts on a
  pegboard.

    tools/make_tobelroto_pictures.py [output folder]

Needs python3-pil (Debian). The result is deterministic.
"""
import math
import os
import sys

from PIL import Image, ImageDraw


def heart(draw, cx, cy, size, colour):
    r = size * 0.3
    draw.ellipse([cx - 2 * r, cy - r, cx, cy + r], fill=colour)
    draw.ellipse([cx, cy - r, cx + 2 * r, cy + r], fill=colour)
    draw.polygon([(cx - 2 * r + 0.6, cy + r * 0.3), (cx + 2 * r - 0.6, cy + r * 0.3),
                  (cx, cy + size * 0.75)], fill=colour)


def pegboard_hearts(path):
    size = 64
    img = Image.new("RGB", (size, size), (196, 150, 98))
    d = ImageDraw.Draw(img)
    # pegboard holes on an 8-pixel grid (tiles seamlessly)
    for y in range(4, size, 8):
        for x in range(4, size, 8):
            d.ellipse([x - 1.5, y - 1.5, x + 1.5, y + 1.5], fill=(92, 64, 40))
    # two hearts per tile, placed so that the pattern repeats cleanly
    heart(d, 16, 14, 18, (214, 32, 58))
    heart(d, 48, 46, 18, (236, 84, 120))
    img.save(path, "JPEG", quality=92)


def owl(draw, ox, oy, body, face):
    # body
    draw.ellipse([ox, oy + 20, ox + 44, oy + 110], fill=body)
    # ears
    draw.polygon([(ox + 4, oy + 30), (ox + 10, oy + 8), (ox + 18, oy + 26)], fill=body)
    draw.polygon([(ox + 40, oy + 30), (ox + 34, oy + 8), (ox + 26, oy + 26)], fill=body)
    # face disc and eyes
    draw.ellipse([ox + 4, oy + 24, ox + 40, oy + 58], fill=face)
    for ex in (ox + 13, ox + 31):
        draw.ellipse([ex - 7, oy + 34, ex + 7, oy + 48], fill=(255, 255, 255))
        draw.ellipse([ex - 3, oy + 38, ex + 3, oy + 44], fill=(20, 20, 20))
    draw.polygon([(ox + 19, oy + 48), (ox + 25, oy + 48), (ox + 22, oy + 55)], fill=(240, 170, 40))
    # wing feathers
    for i in range(4):
        y = oy + 66 + i * 9
        draw.arc([ox + 8, y, ox + 36, y + 12], 200, 340, fill=face, width=2)
    # feet
    for fx in (ox + 14, ox + 30):
        draw.line([(fx - 4, oy + 112), (fx, oy + 106), (fx + 4, oy + 112)], fill=(240, 170, 40), width=2)


def figure(path):
    img = Image.new("RGBA", (100, 140), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    owl(d, 4, 20, (120, 84, 52, 255), (222, 196, 150, 255))
    owl(d, 52, 12, (86, 96, 120, 255), (206, 214, 226, 255))
    img.save(path, "PNG")


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(__file__), "..", "data", "scenes", "tobelroto")
    os.makedirs(out, exist_ok=True)
    figure(os.path.join(out, "harvest_of_the_owls_2017_guys_transparent.png"))
    pegboard_hearts(os.path.join(out, "pegboard_hearts.jpeg"))
    print("wrote the pictures to", out)


if __name__ == "__main__":
    main()
