#!/usr/bin/python3
"""Draws common/images/FullskiesBlueClear0009_1_S.jpg: a clear blue sky, deep
at the top and paling towards a hazy horizon, with a few thin fair-weather
clouds, 512 x 512 (the big cube of the cubes-on-a-plane scene wears it).

    tools/make_sky_picture.py [data folder]

The clouds come from the value noise of tools/make_effects_pictures.py.
Needs python3-numpy and python3-pil (Debian). The result is deterministic.
"""
import os
import sys

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_effects_pictures import ValueNoise, fbm, smoothstep  # noqa: E402

SIZE = 512
NAME = "common/images/FullskiesBlueClear0009_1_S.jpg"


def sky(size=SIZE):
    rows, cols = np.mgrid[0:size, 0:size] / float(size - 1)
    height = 1.0 - rows  # 1 at the top, 0 at the horizon
    zenith = np.array([0.10, 0.30, 0.72])
    horizon = np.array([0.62, 0.78, 0.93])
    mix = height ** 0.6
    rgb = horizon + (zenith - horizon) * mix[..., None]

    # Clouds flattened towards the horizon, thin and soft-edged.
    noise = ValueNoise(2718)
    squash = 1.0 + 3.0 * (1.0 - height)
    body = fbm(noise, cols * 3.0, rows * 3.0 * squash, np.full_like(rows, 0.5), 6, 1.0)
    cover = smoothstep(0.55, 0.8, body) * (0.35 + 0.65 * smoothstep(0.05, 0.5, 1.0 - np.abs(height - 0.45)))
    shade = 0.86 + 0.14 * fbm(noise, cols * 9.0 + 4.0, rows * 9.0, np.full_like(rows, 2.5), 3, 1.0)
    white = np.stack([shade, shade, shade * 1.02], axis=-1)
    rgb = rgb + (white - rgb) * (0.85 * cover)[..., None]
    return np.clip(np.round(rgb * 255.0), 0, 255).astype(np.uint8)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "data")
    path = os.path.join(folder, NAME)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    Image.fromarray(sky()).save(path, "JPEG", quality=88, optimize=True)
    print("wrote", path)


if __name__ == "__main__":
    main()
