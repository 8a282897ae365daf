#!/usr/bin/python3
"""Makes the data of the stand-alone effects that no production uses:

- effects/firesl/flames.jpg: the fire's spark picture, 256 x 64, bright
  flecks and tongues on black (the fire programs read it as heat);
- effects/skydome/cloud.png: tileable cloud cover, 256 x 256 greyscale;
- effects/skydome/thunder0.jpg: a storm-lit cloud picture, 256 x 256 RGB;
- effects/skydome/sky.sgl: the dome, a GL_T2F_N3F_V3F hemisphere of radius 1
  over y 0..1 drawn as GL_TRIANGLES, normals pointing in, texture
  coordinates the direction's x and z folded to 0..1;
- effects/flag/flag.png: the waving flag's picture, 256 x 176 RGB.

    tools/make_more_effects_data.py [data folder]

Needs python3-numpy and python3-pil (Debian). Fixed seeds: the result is the
same every run.
"""
import math
import os
import struct
import sys

import numpy as np
from PIL import Image

GL_T2F_N3F_V3F = 0x2A2B
GL_TRIANGLES = 4


def tileable_noise(rng, size, octaves):
    """Sum of octaves of smooth, wrap-around value noise, 0..1."""
    total = np.zeros((size, size))
    amplitude, norm = 1.0, 0.0
    for o in range(octaves):
        cells = 4 << o
        grid = rng.random((cells, cells))
        t = np.arange(size) * cells / size
        i0 = np.floor(t).astype(int)
        f = t - i0
        f = f * f * (3 - 2 * f)
        i1 = (i0 + 1) % cells
        rows0 = grid[i0][:, i0] * (1 - f)[None, :] + grid[i0][:, i1] * f[None, :]
        rows1 = grid[i1][:, i0] * (1 - f)[None, :] + grid[i1][:, i1] * f[None, :]
        total += amplitude * (rows0 * (1 - f)[:, None] + rows1 * f[:, None])
        norm += amplitude
        amplitude *= 0.5
    return total / norm


def save(path, image, **options):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    image.save(path, **options)


def flames(root):
    rng = np.random.default_rng(1106)
    w, h = 256, 64
    noise = tileable_noise(rng, 256, 5)[:h, :]
    y = np.linspace(0.0, 1.0, h)[:, None]  # hottest along the bottom row
    tongues = np.clip((noise - 0.35) * 2.2 + y * 0.8 - 0.4, 0, 1)
    flecks = (rng.random((h, w)) > 0.985) * rng.random((h, w))
    heat = np.clip(tongues + flecks, 0, 1)
    rgb = np.stack([heat, heat ** 1.6, heat ** 3.5], axis=2)
    save(os.path.join(root, "effects/firesl/flames.jpg"),
         Image.fromarray((rgb * 255).astype(np.uint8)), quality=90)


def clouds(root):
    rng = np.random.default_rng(1109)
    cover = tileable_noise(rng, 256, 6)
    cover = np.clip((cover - 0.42) * 2.6, 0, 1) ** 1.2
    save(os.path.join(root, "effects/skydome/cloud.png"),
         Image.fromarray((cover * 255).astype(np.uint8), "L"))
    storm = tileable_noise(rng, 256, 6)
    light = tileable_noise(rng, 256, 3)
    glow = np.clip(storm * 1.4 - 0.3, 0, 1) * (0.35 + 0.9 * light ** 2)
    rgb = np.stack([glow * 0.75, glow * 0.8, np.clip(glow * 1.05 + 0.06, 0, 1)], axis=2)
    save(os.path.join(root, "effects/skydome/thunder0.jpg"),
         Image.fromarray((np.clip(rgb, 0, 1) * 255).astype(np.uint8)), quality=90)


def dome(root, rings=12, segments=32):
    def vertex(ring, seg):
        elevation = math.pi / 2 * ring / rings  # 0 at the horizon
        azimuth = 2 * math.pi * seg / segments
        x = math.cos(elevation) * math.cos(azimuth)
        y = math.sin(elevation)
        z = math.cos(elevation) * math.sin(azimuth)
        return [x * 0.5 + 0.5, z * 0.5 + 0.5, -x, -y, -z, x, y, z]

    floats = []
    for ring in range(rings):
        for seg in range(segments):
            a, b = vertex(ring, seg), vertex(ring, seg + 1)
            c, d = vertex(ring + 1, seg + 1), vertex(ring + 1, seg)
            floats += a + b + c
            if ring + 1 < rings:  # the top ring's quads close in the zenith: one triangle each
                floats += a + c + d
    count = len(floats) // 8
    path = os.path.join(root, "effects/skydome/sky.sgl")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(struct.pack("<iii", count, GL_T2F_N3F_V3F, GL_TRIANGLES))
        f.write(struct.pack("<%df" % len(floats), *floats))


def flag(root):
    w, h = 256, 176
    y, x = np.mgrid[0:h, 0:w]
    rgb = np.zeros((h, w, 3))
    band = (y * 3) // h
    colours = np.array([[0.12, 0.2, 0.55], [0.95, 0.93, 0.86], [0.75, 0.16, 0.14]])
    rgb[:] = colours[band]
    # A gold disc with a dark ring on the hoist side.
    r = np.hypot(x - 80, y - h / 2)
    rgb[r < 34] = [0.93, 0.72, 0.2]
    rgb[(r >= 34) & (r < 40)] = [0.1, 0.08, 0.06]
    save(os.path.join(root, "effects/flag/flag.png"), Image.fromarray((rgb * 255).astype(np.uint8)))


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "data")
    flames(root)
    clouds(root)
    dome(root)
    flag(root)


if __name__ == "__main__":
    main()
