#!/usr/bin/python3
"""Draws the pictures the effects read:

- common/images/own_particle_256.png: the particle sprite, 256 x 256 RGBA,
  white, its alpha falling off smoothly from the centre to nothing at the
  edge (the particles are added with source-alpha blending, so the alpha is
  the whole shape);
- effects/skybox/spacescape_desat_nebula_complex/desat_nebula_complex_
  {negx,posx,negy,posy,negz,posz}.png: the six faces of a sky-box cube map,
  512 x 512 RGB each, a desaturated nebula with stars.

    tools/make_effects_pictures.py [data folder]

The nebula and the stars are functions of the direction into the cube, not
of a face's pixels, so the faces meet without seams whichever way the cube is
turned. Needs python3-numpy (Debian). The result is deterministic.
"""
import os
import struct
import sys
import zlib

import numpy as np

SKY_SIZE = 512
SKY_BASE = "effects/skybox/spacescape_desat_nebula_complex/desat_nebula_complex_"


def write_png(path, pixels):
    """An 8-bit RGB or RGBA PNG of an (h, w, 3 or 4) uint8 array, each row
    with the filter (none, sub or up) that compresses the picture best."""
    h, w, channels = pixels.shape
    colour_type = {3: 2, 4: 6}[channels]
    rows = pixels.reshape(h, w * channels).astype(np.int16)
    sub = rows.copy()
    sub[:, channels:] -= rows[:, :-channels]
    up = rows.copy()
    up[1:] -= rows[:-1]
    best = None
    for kind, filtered in ((0, rows), (1, sub), (2, up)):
        raw = np.concatenate([np.full((h, 1), kind, np.int16), filtered % 256], axis=1)
        data = zlib.compress(raw.astype(np.uint8).tobytes(), 9)
        if best is None or len(data) < len(best):
            best = data

    def chunk(tag, body):
        return struct.pack(">I", len(body)) + tag + body + struct.pack(
            ">I", zlib.crc32(tag + body) & 0xFFFFFFFF)

    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, colour_type, 0, 0, 0)))
        out.write(chunk(b"IDAT", best))
        out.write(chunk(b"IEND", b""))


def particle_sprite(path, size=256):
    centre = (size - 1) / 2.0
    y, x = np.mgrid[0:size, 0:size]
    r = np.sqrt((x - centre) ** 2 + (y - centre) ** 2) / (size / 2.0)
    # A Gaussian core, pulled down to exactly zero at the edge so no square
    # outline shows when thousands of sprites add up.
    edge = np.clip(1.0 - r * r, 0.0, 1.0) ** 2
    alpha = np.exp(-4.0 * r * r) * edge
    rgba = np.empty((size, size, 4), np.uint8)
    rgba[..., :3] = 255
    rgba[..., 3] = np.round(alpha * 255.0).astype(np.uint8)
    write_png(path, rgba)


# Face directions as GL samples a cube map whose rows are stored top row
# first: s runs along the picture's columns, t down its rows.
def face_directions(face, size):
    t, s = (np.mgrid[0:size, 0:size] + 0.5) / size * 2.0 - 1.0
    one = np.ones_like(s)
    return {
        "posx": (one, -t, -s),
        "negx": (-one, -t, s),
        "posy": (s, one, t),
        "negy": (s, -one, -t),
        "posz": (s, -t, one),
        "negz": (-s, -t, -one),
    }[face]


# The axis (0, 1, 2 for x, y, z) and direction each face looks along.
FACE_AXES = {"posx": (0, 1), "negx": (0, -1), "posy": (1, 1), "negy": (1, -1), "posz": (2, 1), "negz": (2, -1)}


def face_coordinates(face, p):
    """s and t of the point p on its face (p's major component is +-1); the
    inverse of face_directions."""
    x, y, z = p
    return {
        "posx": (-z, -y),
        "negx": (z, -y),
        "posy": (x, z),
        "negy": (x, -z),
        "posz": (x, -y),
        "negz": (-x, -y),
    }[face]


class ValueNoise:
    """Smooth 3D value noise on an integer lattice, from one fixed table."""

    def __init__(self, seed):
        rng = np.random.RandomState(seed)
        self.perm = rng.permutation(256)
        self.values = rng.rand(256)

    def __call__(self, x, y, z):
        xf, yf, zf = np.floor(x), np.floor(y), np.floor(z)
        fx, fy, fz = x - xf, y - yf, z - zf
        fx, fy, fz = (f * f * (3.0 - 2.0 * f) for f in (fx, fy, fz))
        xi, yi, zi = (f.astype(np.int64) & 255 for f in (xf, yf, zf))
        # The lattice hash perm[perm[perm[x] + y] + z] (all mod 256), each
        # level looked up once for the corners that share it.
        p = self.perm
        total = 0.0
        for dx in (0, 1):
            wx = fx if dx else 1.0 - fx
            px = p[(xi + dx) & 255]
            for dy in (0, 1):
                wy = fy if dy else 1.0 - fy
                pxy = p[(px + yi + dy) & 255]
                wxy = wx * wy
                for dz in (0, 1):
                    wz = fz if dz else 1.0 - fz
                    total = total + wxy * wz * self.values[p[(pxy + zi + dz) & 255]]
        return total


def fbm(noise, x, y, z, octaves, scale):
    total, amplitude, norm = 0.0, 1.0, 0.0
    for i in range(octaves):
        f = scale * 2.0 ** i
        total = total + amplitude * noise(x * f + 17.3 * i, y * f - 9.1 * i, z * f + 3.7 * i)
        norm += amplitude
        amplitude *= 0.5
    return total / norm


def smoothstep(a, b, x):
    t = np.clip((x - a) / (b - a), 0.0, 1.0)
    return t * t * (3.0 - 2.0 * t)


def star_directions(count, seed):
    rng = np.random.RandomState(seed)
    v = rng.normal(size=(count, 3))
    v /= np.linalg.norm(v, axis=1, keepdims=True)
    return v, rng.rand(count) ** 4


def sky_face(face, size, clouds, tint, stars):
    x, y, z = face_directions(face, size)
    length = np.sqrt(x * x + y * y + z * z)
    x, y, z = x / length, y / length, z / length

    # Broad clouds, a ridged layer of filaments inside them, and a second
    # field that drifts the hue between a cold and a warm grey.
    body = fbm(clouds, x, y, z, 6, 1.6)
    density = smoothstep(0.42, 0.78, body)
    ridge = 1.0 - np.abs(2.0 * fbm(clouds, x + 5.0, y, z, 5, 3.0) - 1.0)
    filaments = ridge ** 6 * smoothstep(0.35, 0.6, body)
    warmth = smoothstep(0.35, 0.65, fbm(tint, x, y, z, 4, 1.2))
    cold = np.array([0.56, 0.60, 0.66])
    warm = np.array([0.66, 0.60, 0.55])
    hue = cold + (warm - cold) * warmth[..., None]
    light = 0.035 + 0.55 * density ** 1.4 + 0.35 * filaments
    rgb = hue * light[..., None]

    # Stars: each lands on the face of its largest axis, drawn as a small
    # round spot around where its direction meets the face.
    dirs, brightness = stars
    axis, sign = FACE_AXES[face]
    major = dirs[:, axis] * sign
    on_face = (major > 0) & (major >= np.max(np.abs(dirs), axis=1))
    for d, b in zip(dirs[on_face], brightness[on_face]):
        s, t = face_coordinates(face, d / abs(d[axis]))
        col, row = (s + 1.0) * size / 2.0 - 0.5, (t + 1.0) * size / 2.0 - 0.5
        c0, r0 = int(col) - 3, int(row) - 3
        rr, cc = np.mgrid[max(r0, 0):min(r0 + 8, size), max(c0, 0):min(c0 + 8, size)]
        dist = np.sqrt((cc - col) ** 2 + (rr - row) ** 2)
        spot = np.exp(-(dist / (0.55 + 0.6 * b)) ** 2) * (0.25 + 0.75 * b)
        rgb[rr, cc] += spot[..., None] * np.array([0.95, 0.97, 1.0])
    return np.clip(np.round(rgb * 255.0), 0, 255).astype(np.uint8)


def sky_box(folder, size=SKY_SIZE):
    clouds = ValueNoise(1729)
    tint = ValueNoise(4104)
    stars = star_directions(3000, 137)
    for face in ("negx", "posx", "negy", "posy", "negz", "posz"):
        write_png(os.path.join(folder, SKY_BASE + face + ".png"), sky_face(face, size, clouds, tint, stars))


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "data")
    particle_sprite(os.path.join(folder, "common/images/own_particle_256.png"))
    sky_box(folder)


if __name__ == "__main__":
    main()
