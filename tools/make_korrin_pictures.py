#!/usr/bin/python3
"""Draws the pictures of "Orvenhal Korrin System", all invented (no photograph
of anything real):

- scenes/korrinimage/dubrovnik_mono.jpg: a monochrome walled town of tiled
  roofs and a bell tower on a hill over the sea, 1280 x 720;
- scenes/korrinbunker/radio.jpg: an old valve radio on a bunker shelf;
- scenes/korrinbunker/ground_zero_population_5.jpg: a desert road sign
  "GROUND ZERO / POPULATION 5" (lettering in the production's motherland
  face);
- scenes/nukeblast/*.jpg: seven mushroom clouds, each its own light and
  palette (noon, dusk, sea, harbour at night, sepia, storm, dawn);
- scenes/nukefloor/smiley.jpg: a yellow smiley on a dark tile, the face of
  every cube of the floor.

    tools/make_korrin_pictures.py [data folder]

Needs python3-numpy and python3-pil (Debian). Every random choice comes from
fixed seeds, so the result is the same bytes on every run.
"""
import math
import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
FONT = os.path.join(HERE, "..", "data", "common", "fonts", "motherland.ttf")


def fractal_noise(w, h, seed, octaves=5, base=4):
    """Value noise in 0..1: random grids from `base` cells up, each octave
    twice as fine and half as strong, upsampled bicubically."""
    rng = np.random.default_rng(seed)
    total = np.zeros((h, w))
    amp, weight = 1.0, 0.0
    cells = base
    for _ in range(octaves):
        grid = rng.random((cells * h // w + 2, cells + 2))
        img = Image.fromarray((grid * 255).astype(np.uint8), "L")
        big = img.resize((w + 2 * w // cells, h + 2 * w // cells), Image.BICUBIC)
        arr = np.asarray(big, dtype=float)[w // cells: w // cells + h, w // cells: w // cells + w] / 255.0
        total += amp * arr
        weight += amp
        amp *= 0.5
        cells *= 2
    return total / weight


def to_image(rgb):
    return Image.fromarray(np.clip(rgb, 0, 255).astype(np.uint8), "RGB")


def grain(img, seed, amount):
    rng = np.random.default_rng(seed)
    arr = np.asarray(img, dtype=float)
    noise = rng.normal(0.0, amount, arr.shape[:2])[:, :, None]
    return to_image(arr + noise)


def save_jpeg(img, path, quality=84):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    img.save(path, "JPEG", quality=quality, optimize=True)


# ---- the walled town --------------------------------------------------

def town(path):
    w, h = 1280, 720
    rng = np.random.default_rng(5)
    y = np.linspace(0.0, 1.0, h)[:, None]
    sky = 215 - 60 * y + 25 * fractal_noise(w, h, 51, 4, 3)
    img = Image.fromarray(np.clip(sky, 0, 255).astype(np.uint8), "L")
    d = ImageDraw.Draw(img)
    # far hills
    hills = [(0, 300)] + [(x, 300 - 60 * math.sin(x / 210.0) - 30 * math.sin(x / 77.0 + 1))
                          for x in range(0, w + 20, 20)] + [(w, 300), (w, h), (0, h)]
    d.polygon(hills, fill=150)
    # the town's hill
    hill = [(0, 470)] + [(x, 470 - 150 * math.exp(-((x - 700) / 420.0) ** 2)) for x in range(0, w + 10, 10)]
    d.polygon(hill + [(w, h), (0, h)], fill=118)
    # houses, back to front: walls in light greys, roofs darker with tiles
    for row in range(7):
        base_y = 330 + row * 38
        x = -30 + int(rng.integers(0, 40))
        while x < w:
            hw = int(rng.integers(34, 70))
            hh = int(rng.integers(30, 56))
            top = base_y - hh + int(12 * math.sin(x / 90.0 + row))
            wall = int(rng.integers(170, 230))
            d.rectangle([x, top, x + hw, base_y + 40], fill=wall, outline=wall - 50)
            for wx in range(x + 7, x + hw - 8, 14):  # windows
                d.rectangle([wx, top + 10, wx + 5, top + 19], fill=60)
            roof = int(rng.integers(70, 110))
            d.polygon([(x - 4, top), (x + hw / 2, top - hh * 0.45), (x + hw + 4, top)], fill=roof)
            for k in range(1, 4):  # tile courses
                ty = top - hh * 0.45 * (1 - k / 4.0)
                half = (hw / 2 + 4) * k / 4.0
                d.line([(x + hw / 2 - half, ty), (x + hw / 2 + half, ty)], fill=roof - 25)
            x += hw + int(rng.integers(-6, 6))
    # bell tower
    d.rectangle([640, 150, 700, 420], fill=205, outline=120)
    d.polygon([(632, 150), (670, 88), (708, 150)], fill=90)
    d.ellipse([654, 180, 686, 212], fill=235, outline=60)
    d.line([(670, 196), (670, 184)], fill=40, width=2)
    d.line([(670, 196), (680, 199)], fill=40, width=2)
    for by in (240, 300):
        d.rectangle([656, by, 684, by + 36], fill=50)
    # town walls with battlements along the shore
    d.rectangle([0, 560, w, 625], fill=175, outline=110)
    for bx in range(0, w, 36):
        d.rectangle([bx, 544, bx + 18, 560], fill=175)
    for tx in (120, 480, 900, 1180):
        d.rectangle([tx, 500, tx + 64, 625], fill=160, outline=100)
        for bx in range(tx, tx + 64, 16):
            d.rectangle([bx, 488, bx + 8, 500], fill=160)
    # the sea: darker bands broken by wave noise
    sea = np.asarray(img, dtype=float)
    waves = fractal_noise(w, h - 625, 52, 4, 16)
    rows = np.linspace(0.0, 1.0, h - 625)[:, None]
    sea[625:] = 95 + 35 * rows + 45 * (waves - 0.5) + 20 * np.sin(np.arange(w)[None, :] / 9.0 + rows * 40)
    img = Image.fromarray(np.clip(sea, 0, 255).astype(np.uint8), "L").filter(ImageFilter.GaussianBlur(0.7))
    img = grain(img.convert("RGB"), 53, 6.0).convert("L").convert("RGB")
    save_jpeg(img, path)


# ---- the bunker radio -------------------------------------------------

def radio(path):
    w, h = 960, 720
    wall = 70 + 40 * fractal_noise(w, h, 61, 5, 6)[:, :, None] * np.array([1.0, 0.95, 0.8])
    img = to_image(wall)
    d = ImageDraw.Draw(img)
    d.rectangle([0, 560, w, h], fill=(58, 46, 36))  # shelf
    d.rectangle([0, 552, w, 566], fill=(92, 72, 52))
    # cabinet: rounded wooden box with grain
    box = [170, 150, 790, 556]
    d.rounded_rectangle(box, 40, fill=(120, 70, 34), outline=(60, 34, 18), width=6)
    for gy in range(170, 540, 9):
        d.line([(190, gy), (770, gy + 4 * math.sin(gy / 23.0))], fill=(104, 60, 28), width=2)
    # speaker grille
    d.ellipse([215, 190, 475, 450], fill=(40, 30, 22), outline=(200, 170, 110), width=5)
    for k in range(9):
        yy = 215 + k * 26
        d.line([(235, yy), (455, yy)], fill=(150, 120, 70), width=4)
    # dial window with a scale and needle
    d.rounded_rectangle([505, 200, 750, 330], 14, fill=(232, 214, 160), outline=(200, 170, 110), width=5)
    for k in range(21):
        xx = 525 + k * 10.5
        d.line([(xx, 300), (xx, 300 - (16 if k % 5 == 0 else 8))], fill=(40, 30, 20), width=2)
    d.line([(606, 318), (640, 214)], fill=(190, 20, 10), width=4)
    # knobs
    for kx in (545, 705):
        d.ellipse([kx - 38, 370, kx + 38, 446], fill=(30, 24, 18), outline=(180, 150, 90), width=4)
        d.line([(kx, 408), (kx + 22, 384)], fill=(220, 200, 150), width=4)
    d.rectangle([605, 470, 645, 500], fill=(200, 40, 20))  # the red lamp
    img = img.filter(ImageFilter.GaussianBlur(0.8))
    # a hanging bulb's light: brighter centre, dark corners
    yy, xx = np.mgrid[0:h, 0:w]
    light = 1.25 - 0.9 * (((xx - 480) / 700.0) ** 2 + ((yy - 220) / 520.0) ** 2)
    img = to_image(np.asarray(img, dtype=float) * np.clip(light, 0.25, 1.25)[:, :, None])
    save_jpeg(grain(img, 62, 5.0), path)


# ---- the road sign ----------------------------------------------------

def road_sign(path):
    w, h = 960, 720
    y = np.linspace(0.0, 1.0, h)[:, None, None]
    sky = np.array([70, 130, 205]) * (1 - y) + np.array([225, 200, 170]) * y
    img = to_image(sky + 0 * np.zeros((h, w, 3)))
    d = ImageDraw.Draw(img)
    ridge = [(x, 430 - 70 * math.sin(x / 160.0 + 0.5) ** 2 - 25 * math.sin(x / 41.0))
             for x in range(0, w + 10, 10)]
    d.polygon(ridge + [(w, h), (0, h)], fill=(150, 110, 90))
    sand = np.asarray(img, dtype=float)
    dunes = fractal_noise(w, h - 450, 71, 5, 5)
    rows = np.linspace(0.0, 1.0, h - 450)[:, None, None]
    sand[450:] = (np.array([205, 170, 120]) + 40 * (dunes[:, :, None] - 0.5)) * (0.85 + 0.25 * rows)
    img = to_image(sand)
    d = ImageDraw.Draw(img)
    # the road to the horizon
    d.polygon([(450, 450), (510, 450), (820, h), (140, h)], fill=(70, 66, 64))
    for k in range(6):
        t0, t1 = (k / 6.0) ** 2, ((k + 0.5) / 6.0) ** 2
        y0, y1 = 450 + t0 * (h - 450), 450 + t1 * (h - 450)
        d.polygon([(479 - 2 - 10 * t0, y0), (481 + 2 + 10 * t0, y0), (481 + 2 + 10 * t1, y1),
                   (479 - 2 - 10 * t1, y1)], fill=(230, 200, 60))
    # the sign on two posts
    for px in (300, 640):
        d.rectangle([px, 300, px + 16, 640], fill=(120, 120, 125))
    d.rectangle([200, 140, 760, 380], fill=(20, 110, 60), outline=(235, 235, 235), width=8)
    big = ImageFont.truetype(FONT, 78)
    small = ImageFont.truetype(FONT, 58)
    d.text((480, 215), "GROUND ZERO", font=big, fill=(245, 245, 245), anchor="mm")
    d.text((480, 315), "POPULATION 5", font=small, fill=(245, 245, 245), anchor="mm")
    img = img.filter(ImageFilter.GaussianBlur(0.6))
    save_jpeg(grain(img, 72, 4.0), path)


# ---- the mushroom clouds ----------------------------------------------

# name, seed, sky top, sky horizon, ground, fire core, cloud colour, cloud
# centre x (fraction), cap size, whether the ground is water
BLASTS = [
    ("explosion_iran.jpg", 81, (90, 140, 200), (230, 200, 160), (170, 130, 80), (255, 230, 150), (200, 160, 120), 0.5, 1.0, False),
    ("explosion_stock.jpg", 82, (40, 30, 60), (230, 120, 60), (60, 40, 30), (255, 200, 90), (190, 110, 70), 0.42, 1.1, False),
    ("explosion_surry.jpg", 83, (120, 160, 200), (210, 220, 225), (40, 70, 100), (255, 245, 210), (220, 220, 215), 0.55, 0.9, True),
    ("explosion_sydney.jpg", 84, (8, 10, 30), (40, 40, 80), (10, 15, 35), (255, 180, 80), (150, 80, 60), 0.6, 1.0, True),
    ("hiroshima_blast.jpg", 85, (150, 140, 120), (210, 200, 180), (110, 100, 85), (250, 240, 220), (180, 170, 150), 0.5, 1.2, False),
    ("nuclear-explosion.jpg", 86, (50, 50, 60), (120, 110, 110), (50, 45, 45), (255, 150, 60), (120, 90, 80), 0.47, 1.05, False),
    ("nuke_washington.jpg", 87, (60, 90, 150), (250, 170, 120), (80, 70, 70), (255, 220, 130), (230, 170, 140), 0.52, 0.95, False),
]


def mushroom(path, seed, top, horizon, ground, core, cloud, cx, cap, water):
    w, h = 800, 450
    yy, xx = np.mgrid[0:h, 0:w].astype(float)
    horizon_y = 340.0
    t = np.clip(yy / horizon_y, 0, 1)[:, :, None]
    img = np.array(top) * (1 - t) + np.array(horizon) * t
    below = yy >= horizon_y
    ground_noise = fractal_noise(w, h, seed * 10 + 1, 5, 8)
    if water:
        ripple = 0.8 + 0.2 * np.sin(yy * 0.9 + 6 * ground_noise)
        img[below] = (np.array(ground) * ripple[:, :, None])[below]
    else:
        img[below] = (np.array(ground) * (0.7 + 0.5 * ground_noise)[:, :, None])[below]
    noise = fractal_noise(w, h, seed, 6, 6)
    fine = fractal_noise(w, h, seed + 500, 4, 24)
    x0 = cx * w
    # stem: a column that narrows upwards, ragged by the noise
    stem_half = 22 + 14 * (yy - 150) / 190.0 + 18 * (noise - 0.5)
    stem = (np.abs(xx - x0) < stem_half) & (yy > 150) & (yy < horizon_y + 4)
    # cap: a flattened ball of billows
    ry, rx = 80.0 * cap, 165.0 * cap
    cap_d = ((xx - x0) / rx) ** 2 + ((yy - 130) / ry) ** 2 + 0.9 * (noise - 0.5) + 0.4 * (fine - 0.5)
    # base surge: a wide low skirt on the ground
    base_d = ((xx - x0) / (300.0 * cap)) ** 2 + ((yy - horizon_y) / 38.0) ** 2 + 0.8 * (noise - 0.5)
    # ring: the condensation collar around the stem
    ring_d = ((xx - x0) / (120.0 * cap)) ** 2 + ((yy - 245) / 14.0) ** 2 + 0.8 * (fine - 0.5)
    shade = 0.55 + 0.75 * noise + 0.3 * (fine - 0.5)
    lit_from_below = np.clip((yy - 60) / 150.0, 0, 1)
    body = np.array(cloud) * shade[:, :, None]
    fire = np.array(core) * np.clip(1.3 - cap_d, 0, 1)[:, :, None] * lit_from_below[:, :, None]
    for mask_d, soft in ((base_d, 0.15), (cap_d, 0.12), (ring_d, 0.2)):
        a = np.clip((1.0 - mask_d) / soft, 0, 1)[:, :, None]
        img = img * (1 - a) + body * a
    a = stem[:, :, None] * 0.95
    img = img * (1 - a) + body * 0.85 * a
    img = img + 0.7 * fire
    # a glow on the horizon under the blast
    glow = np.exp(-(((xx - x0) / 260.0) ** 2 + ((yy - horizon_y) / 40.0) ** 2))[:, :, None]
    img = img + glow * np.array(core) * 0.45
    out = to_image(img).filter(ImageFilter.GaussianBlur(1.0))
    save_jpeg(grain(out, seed + 900, 5.0), path, 82)


# ---- the smiley tile --------------------------------------------------

def smiley(path):
    s = 512
    img = Image.new("RGB", (s, s), (24, 22, 40))
    d = ImageDraw.Draw(img)
    d.rectangle([8, 8, s - 9, s - 9], outline=(255, 60, 150), width=10)
    d.ellipse([56, 56, s - 56, s - 56], fill=(255, 214, 0), outline=(40, 30, 0), width=14)
    for ex in (190, 322):
        d.ellipse([ex - 26, 170, ex + 26, 250], fill=(30, 24, 10))
    d.arc([140, 170, s - 140, s - 130], 20, 160, fill=(30, 24, 10), width=22)
    save_jpeg(img.filter(ImageFilter.GaussianBlur(0.6)), path, 88)


def main():
    data = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "data")
    scenes = os.path.join(data, "scenes")
    town(os.path.join(scenes, "korrinimage", "dubrovnik_mono.jpg"))
    radio(os.path.join(scenes, "korrinbunker", "radio.jpg"))
    road_sign(os.path.join(scenes, "korrinbunker", "ground_zero_population_5.jpg"))
    for name, *rest in BLASTS:
        mushroom(os.path.join(scenes, "nukeblast", name), *rest)
    smiley(os.path.join(scenes, "nukefloor", "smiley.jpg"))


if __name__ == "__main__":
    main()
