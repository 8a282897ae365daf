#!/usr/bin/python3
"""Draws scenes/shadertoy/noise.png, the noise picture the shader gallery
samples on texture unit 0: 256 x 256 RGBA, each channel of each pixel an
independent uniform random byte, so that the shaders can take four unrelated
noises from one read and build smooth noise from its linear filtering.

    tools/make_shadertoy_noise.py [data folder]

Needs python3-numpy (Debian). The seed is fixed: the result is the same
bytes every run.
"""
import os
import sys

import numpy as np

from make_effects_pictures import write_png

SIZE = 256
SEED = 20161


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "data")
    # The legacy generator: its stream for a seed is fixed across numpy versions.
    pixels = np.random.RandomState(SEED).randint(0, 256, size=(SIZE, SIZE, 4)).astype(np.uint8)
    write_png(os.path.join(folder, "scenes/shadertoy/noise.png"), pixels)


if __name__ == "__main__":
    main()
