#!/usr/bin/python3
"""Writes the timeline of "Wembrel - tidewell",
data/productions/tidewell/timeline.txt: one key a line (see
tools/synctimeline.cpp), made here because most of it is repetition keyed to
the beat (pulses on the kicks) and camera moves worked out from where the
rings and the grid stand.

    tools/make_tidewell_timeline.py [timeline.txt]

The show follows the sections of tools/make_tidewell.py (128 bpm, 8 rows a
beat), in beats: intro 0-32, build 32-64, drop 64-128, break 128-160, second
drop 160-192, outro 192-224 (the song ends at about 226). Kicks fall on every
beat of the build, the drops and the outro's first half, on every bar from
the intro's second phrase; the break has none, only a bass note a bar.

Scenes: 0 glow rings (jqgs), 1 box grid (jqbx), 2 title and credit lines.
Deterministic (no randomness at all).
"""
import math

import timeline_keys
from timeline_keys import comment, key, keys, pulses, ramp


# Worked-out camera positions and pulse heights, to 4 decimals.
timeline_keys.decimals = 4


def every(first, end, step=1):
    b = first
    while b < end - 1e-9:
        yield b
        b += step


# ---- where things stand ---------------------------------------------------

def grid_box_extent(columns, rows, size1, size2, gap_x, gap_y):
    """The corners (x, y) of the grid's bounding box, the way the box grid lays
    its boxes out: each at its own blended size, from the origin toward +x
    and +y."""
    low, high = [0.0, 0.0], [0.0, 0.0]
    for j in range(rows):
        for i in range(columns):
            t = (i + j) / (columns + rows - 2) if columns + rows > 2 else 0.0
            w = (1 - t) * size1[0] + t * size2[0]
            h = (1 - t) * size1[1] + t * size2[1]
            x, y = i * (w + gap_x), j * (h + gap_y)
            low = [min(low[0], x - w / 2), min(low[1], y - h / 2)]
            high = [max(high[0], x + w / 2), max(high[1], y + h / 2)]
    return low, high


def camera(beat, target, azimuth, elevation, distance, interpolation="smooth", fov=None):
    """A camera key: looking at `target` from `distance` away, turned
    `azimuth` degrees round the vertical from straight in front (+z) and
    raised `elevation` degrees."""
    a, e = math.radians(azimuth), math.radians(elevation)
    eye = (target[0] + distance * math.cos(e) * math.sin(a),
           target[1] + distance * math.sin(e),
           target[2] + distance * math.cos(e) * math.cos(a))
    for axis, value in zip("XYZ", eye):
        key("cameraEye" + axis, beat, value, interpolation)
    for axis, value in zip("XYZ", target):
        key("cameraDst" + axis, beat, value, interpolation)
    if fov is not None:
        key("cameraFoV", beat, fov)


# ---- the show -----------------------------------------------------------------

def scenes():
    comment("""Which scenes draw: the rings in the intro, the grid in the build, both in the
drops, the rings in the break, the grid in the outro. The title over the intro,
the credits over the outro.""")
    keys("ActiveScene1st", (0, 0), (32, 1), (64, 0), (192, 1))
    keys("ActiveScene2nd", (0, -1), (64, 1), (128, -1), (160, 1), (192, -1))
    keys("ActiveScene3rd", (0, -1))
    keys("ActiveScene4rd", (0, 2), (32, -1), (196, 2))


def titles():
    comment("""Title and credits. The word "wembrel" is drawn black: it stands on the light
page of the intro's first phrase, and is gone before the picture turns dark
on the first kick (beat 16); "tidewell" (white) comes in with it. The credits
stand left of the outro's grid.""")
    keys("textScene", (0, 0), (196, 1))
    keys("textSize", (0, 110), (196, 80))
    key("textScaleX", 0, 1)
    ramp("textX", 0, 0.04, 14, 0.06)
    key("textX", 196, 0.06)
    keys("textY", (0, 0.8), (196, 0.6))
    ramp("textX2", 16, 0.63, 31, 0.66)
    key("textX2", 196, 0.1)
    keys("textY2", (0, 0.1), (196, 0.42))
    ramp("textFade", 0, 0, 2, 1)
    ramp("textFade", 11, 1, 14, 0)
    ramp("textFade", 196, 0, 200, 1)
    ramp("textFade", 214, 1, 222, 0)
    key("textFade2", 0, 0)
    ramp("textFade2", 16, 0, 18, 1)
    ramp("textFade2", 28, 1, 31, 0)
    ramp("textFade2", 202, 0, 206, 1)
    ramp("textFade2", 214, 1, 222, 0)


def passes():
    comment("""Intro's first phrase: the picture as its negative (film contrast -1), a
light page with the rings drawn dark on it, out of black over the first beat;
it turns positive on the first kick. The film runs before the fade there, so
that the fade darkens the page rather than the negative lightening it.""")
    keys("ppFilm", (0, 0), (16, -1), (32, 2), (64, -1), (192, 2))
    keys("ppFilmContrast", (0, -2), (32, 0.15), (192, 0.1))
    keys("ppFilmBrightness", (0, -0.2), (32, 0.03), (192, 0.04))
    keys("ppFilmFilmgrainAmount", (0, 0.03), (32, 0.05), (192, 0.06))

    comment("""Build: a cold film look (blue tint, light scanlines, grain). Outro: a warm,
half-coloured film.""")
    keys("ppFilmBlueSepia", (0, 0), (32, 0.45), (192, 0))
    keys("ppFilmBrownSepia", (0, 0), (192, 0.3))
    keys("ppFilmMonochrome", (0, 0), (192, 0.2))
    keys("ppFilmScanlineAmount", (0, 0), (32, 0.1), (192, 0.05))

    comment("""Fades: out of black at the start, a white flash on each drop, to black at the
end, slowly at first, so the last boxes and the credits are seen going.""")
    keys("ppFade", (0, 1), (2, -1), (64, 0), (66, -1), (160, 0), (162, -1), (216, 0))
    ramp("ppFadeValue", 0, -1, 2, 0)
    ramp("ppFadeValue", 64, 0.85, 66, 0)
    ramp("ppFadeValue", 160, 0.85, 162, 0)
    ramp("ppFadeValue", 216, 0, 226, -1, "ramp")

    comment("""The build's last bar dissolves into coarser and coarser dithered blocks that
resolve on the drop.""")
    keys("ppDither", (0, -1), (60, 3), (64, -1))
    ramp("ppDitherFactor", 60, 0.2, 64, 0.95)

    comment("""Radial blur on every bar of the drops, from the centre of the picture; gentle,
so that the streaks keep their colour.""")
    keys("ppRadblur", (0, -1), (64, 1), (128, -1), (160, 1), (192, -1))
    key("ppRadblurStep", 0, 0.6)
    pulses("ppRadblurStrength", list(every(64, 128, 4)) + list(every(160, 192, 4)), 0.35, 0, 1)

    comment("Second half of the drop: the picture in four tiles, turning a quarter over the last phrase.")
    keys("ppSubdiv", (0, -1), (96, 2), (128, -1))
    keys("ppSubdivNX", (96, 2))
    keys("ppSubdivNY", (96, 2))
    key("ppSubdivRot", 96, 0)
    ramp("ppSubdivRot", 112, 0, 128, 1.5708)

    comment("Break: a light static over the kaleidoscope.")
    keys("ppNoise", (0, -1), (128, 3), (160, -1))
    key("ppNoiseAlpha", 128, 0.05)
    ramp("ppNoiseTime", 128, 0, 160, 30)

    comment("""Second drop: a worn tape, its rows wobbling and its colours drifting apart;
no tracking band (a stripe of grey noise across a dark picture).""")
    keys("ppVHS", (0, -1), (160, 3), (192, -1))
    key("ppVHSAlpha", 160, 0.9)
    key("ppVHSBandOn", 160, 0)
    ramp("ppVHSTime", 160, 0, 192, 15)

    comment("""Kaleidoscope through the break, turning; a faster one of four folds in the
second drop's second half, over a camera close enough that the folded
picture fills the frame.""")
    keys("ppKaleidoscope", (0, -1), (128, 0), (160, -1))
    key("ppKaleidoscopeDivisions", 128, 6)
    ramp("ppKaleidoscopeRotation", 128, 0, 160, 3.14159)
    keys("ppK2", (0, -1), (176, 0), (192, -1))
    key("ppK2Divisions", 176, 4)
    ramp("ppK2Rotation", 176, 0, 192, -6.28318)


def rings():
    comment("""Glow rings: phase, protrusion, colours (hue, saturation, lightness, alpha). The
protrusions never quite zero (a zero protrusion lies on its frame and doubles
it). In the intro's negative the hues are the opposites of those that follow,
so the rings keep their blue and violet across the turn.""")
    for beat, value in ((0, 0), (32, 8), (64, 8), (128, 40), (160, 48)):
        key("jqgsRot", beat, value, "linear")
    key("jqgsRot", 192, 80)
    ramp("jqgsRotMod1", 0, 0, 226, 12)
    ramp("jqgsRotMod2", 0, 0, 226, -9)
    ramp("jqgsRotMod3", 0, 0, 226, 20)

    comment("""Protrusions. Intro: a breath on every beat, a throw on every beat once the
kicks come in, the longest on the bar. Drops: a long throw on every other
beat. Break: they open over the first phrase and close over the second, with
a push on every bar's bass note.""")
    pulses("jqgsProtLength", every(0, 16), 0.75, 0.5, 0.5)
    pulses("jqgsProtLength", every(16, 32), lambda b: 1.6 if b % 4 == 0 else 1.15, 0.45, 0.5)
    pulses("jqgsProtLength", list(every(64, 128, 2)) + list(every(160, 192, 2)), 1.6, 0.2, 1)
    opening = lambda b: 0.2 + 0.8 * (b - 128) / 16 if b < 144 else 1 - 0.8 * (b - 144) / 16
    for b in every(128, 160, 4):
        key("jqgsProtLength", b, opening(b) + 0.5, "linear")
        key("jqgsProtLength", b + 1, opening(b + 1), "linear")
        key("jqgsProtLength", b + 3.875, opening(b + 3.875))
    key("jqgsProtLength", 160, 1.6, "linear")
    key("jqgsProtLength", 192, 0.2)

    comment("""Colours: stronger than the drops of the grid beside them, never burning white
where the pieces overlap; in the break a glow on every bar, smaller on the half
bar.""")
    keys("jqgsCol1H", (0, 0.08), (16, 0.58), (64, 0.92), (128, 0.55), (160, 0.08))
    keys("jqgsCol2H", (0, 0.2), (16, 0.7), (64, 0.55), (128, 0.75), (160, 0.6))
    keys("jqgsCol1S", (0, 0.6))
    keys("jqgsCol2S", (0, 0.7))
    keys("jqgsCol1L", (0, 0.45), (64, 0.45))
    keys("jqgsCol2L", (0, 0.4), (64, 0.42))
    keys("jqgsCol1A", (0, 0.22), (16, 0.3), (64, 0.24), (160, 0.22))
    keys("jqgsCol2A", (0, 0.22), (16, 0.28), (64, 0.22), (160, 0.2))
    for track, base in (("jqgsCol1A", 0.34), ("jqgsCol2A", 0.32)):
        for b in every(128, 160, 2):
            ramp(track, b, base + (0.16 if b % 4 == 0 else 0.08), b + 1, base)

    comment("""Sizes and heights: the frames broaden in the intro's second phrase; the
rings widen through the break; in the drops they stand
up beside the grid's left edge, at its middle height.""")
    keys("jqgsRadius1", (0, 4), (160, 4))
    key("jqgsRadius1", 128, 4, "linear")
    # Broader frames over the intro's dark second phrase: more light without
    # more overlap.
    keys("jqgsBorder", (0, 0.2), (16, 0.34), (32, 0.2))
    keys("jqgsOffset1", (0, 0), (64, 5), (128, 0), (160, 5), (192, 0))
    keys("jqgsOffset2", (0, 3), (64, 8))
    key("jqgsOffset2", 128, 3, "linear")
    key("jqgsOffset2", 144, 5, "linear")
    keys("jqgsOffset2", (160, 8), (192, 3))
    keys("jqgsOffset3", (0, -3), (64, 2))
    key("jqgsOffset3", 128, -3, "linear")
    key("jqgsOffset3", 144, -5, "linear")
    keys("jqgsOffset3", (160, 2), (192, -3))

# The grid's sizes: from the first corner (1 x 1 x Depth1) to the opposite
# one (2.2 x 2.2 x Depth2).
SIZE1 = (1.0, 1.0)
SIZE2 = (2.2, 2.2)


def build_counts(beat):
    """Columns and rows of the build's growing grid."""
    p = min(1.0, (beat - 32) / 28)
    return 3 + 5 * p, 2 + 4 * p


def outro_grid(beat):
    """Columns, rows, the far corner's box size and the gap of the outro's
    thinning grid."""
    p = (beat - 192) / 32
    far = 2.2 + 0.8 * p
    return 8 - 7 * p, 6 - 5 * p, (far, far), 1.4 + 1.6 * p


def grid():
    comment("""Box grid: it grows through the build from three by two to eight by six, stands
at five by four in the drops and thins out in the outro, opening up and its
boxes growing as it does. Colours are red, green, blue and alpha.""")
    for beat in (32, 60):
        c, r = build_counts(beat)
        key("jqbxWidthCount", beat, c, "linear" if beat == 32 else "step")
        key("jqbxHeightCount", beat, r, "linear" if beat == 32 else "step")
    keys("jqbxWidthCount", (64, 5))
    keys("jqbxHeightCount", (64, 4))
    keys("jqbxWidth1", (0, SIZE1[0]))
    keys("jqbxHeight1", (0, SIZE1[1]))
    keys("jqbxDepth1", (0, 4))
    keys("jqbxWidth2", (0, SIZE2[0]))
    keys("jqbxHeight2", (0, SIZE2[1]))
    key("jqbxWidthSpace", 0, 1.4)
    key("jqbxHeightSpace", 0, 1.4)
    for beat in (192, 224):
        columns, rows, far, gap = outro_grid(beat)
        interpolation = "linear" if beat < 224 else "step"
        key("jqbxWidthCount", beat, columns, interpolation)
        key("jqbxHeightCount", beat, rows, interpolation)
        key("jqbxWidth2", beat, far[0], interpolation)
        key("jqbxHeight2", beat, far[1], interpolation)
        key("jqbxWidthSpace", beat, gap, interpolation)
        key("jqbxHeightSpace", beat, gap, interpolation)

    comment("""Depth of the far corner's boxes: it grows with the grid through the build and
kicks out on every beat; in the drops a long kick on every other beat; in the
outro short boxes, kicked on the beats while the kicks last, so that none
reaches the camera as it closes in.""")
    key("jqbxDepth2", 0, 24)
    build_depth = lambda b: 8 + 16 * min(1.0, (b - 32) / 28)
    pulses("jqbxDepth2", every(32, 64), lambda b: build_depth(b) * 1.4, build_depth, 0.5)
    pulses("jqbxDepth2", list(every(64, 128, 2)) + list(every(160, 192, 2)), 22, 12, 1)
    pulses("jqbxDepth2", every(192, 208), 18, 12, 0.5)
    key("jqbxDepth2", 208, 12)

    comment("""Colours: blue to pink in the build, each box brightening on the kick; pink to
blue in the drops; the outro's as the drops', brighter, on the kicks while
they last, and brighter still as it thins out.""")
    keys("jqbxCol1H", (0, 0.1), (64, 0.9))
    keys("jqbxCol1S", (0, 0.35), (64, 0.2))
    keys("jqbxCol1L", (0, 0.9), (64, 0.5))
    keys("jqbxCol2H", (0, 0.9), (64, 0.2))
    keys("jqbxCol2S", (0, 0.3), (64, 0.6))
    keys("jqbxCol2L", (0, 0.6), (64, 0.9))
    for track in ("jqbxCol1A", "jqbxCol2A"):
        key(track, 0, 0.38)
        pulses(track, every(32, 64), 0.62, 0.38, 0.5)
        key(track, 64, 0.32)
        key(track, 160, 0.32)
        pulses(track, every(192, 208), 0.72, 0.55, 0.5)
        ramp(track, 208, 0.55, 216, 0.85)


def cameras():
    comment("""Camera: one path for every scene, a move a phrase, looking at the middle of
what is drawn from a distance that keeps it in the frame. Intro: a slow rise
round the rings. Build: at the centre of the growing grid, circling it and
backing off as it grows. Drops: round the point between the rings and the
grid, closer in the tiled half so that each tile is full, and closer still
under the second drop's kaleidoscope so that its folds fill the frame. Break:
close on the rings. Outro: the shrinking grid right of the credits.""")
    keys("cameraUpX", (0, 0))
    keys("cameraUpY", (0, 1))
    keys("cameraUpZ", (0, 0))

    # Intro: round the rings at the origin.
    # The rings stand a little right of the middle in the first phrase, clear of
    # the title word at the top left, and a little left of it in the second,
    # clear of the one at the bottom right.
    for beat, eye, target, interpolation in (
            (0, (-8.5, 10, 16), (-2.5, 0, 0), "smooth"), (16, (7.5, 7, 17), (1.5, 0, 0), "smooth"),
            (31.875, (-0.5, 4, 18.5), (1.5, 0, 0), "step")):
        for axis, value in zip("XYZ", eye):
            key("cameraEye" + axis, beat, value, interpolation)
        for axis, value in zip("XYZ", target):
            key("cameraDst" + axis, beat, value, interpolation)
    key("cameraFoV", 0, 45)

    # Build: the grid's centre, from a distance that grows with it.
    for beat, azimuth, elevation in ((32, -35, 10), (40, -15, 20), (48, 15, 25), (56, 30, 22), (60, 20, 18)):
        c, r = build_counts(beat)
        low, high = grid_box_extent(math.ceil(c), math.ceil(r), SIZE1, SIZE2, 1.4, 1.4)
        target = ((low[0] + high[0]) / 2, (low[1] + high[1]) / 2, 0)
        width = high[0] - low[0]
        camera(beat, target, azimuth, elevation, 10 + 1.15 * width, "linear")

    # Drops: between the rings (x -6..6) and the five by four grid (x 0..16).
    middle = (4.5, 5.5, 0)
    camera(64, middle, -32, 18, 28, fov=50)
    camera(80, middle, 35, 22, 27)
    # The tiles show the picture at half its size: the lens closes in.
    camera(96, middle, 0, 32, 27, fov=40)
    camera(112, middle, -35, 8, 27)
    camera(127.875, middle, -10, 20, 27, "step")
    # Break: close on the rings, spiralling in.
    camera(128, (0, 0, 0), 0, 10, 17, fov=45)
    camera(158, (0, 0, 0), 0, 0, 10, "step")
    # Second drop; under the kaleidoscope a long lens, so that its folds fill
    # the frame without the camera running into the boxes.
    camera(160, middle, 35, 20, 28, fov=50)
    camera(176, middle, -25, 15, 28, fov=32)
    camera(184, middle, 10, 25, 27)
    camera(191.875, middle, 40, 20, 28, "step")

    # Outro: the grid right of the credits, the camera closing in as it thins.
    for beat, azimuth in ((192, -12), (200, -8), (208, -4), (216, 0), (224, 4)):
        c, r, far, gap = outro_grid(beat)
        # Framed for two by two at the end: it still shows four boxes as the
        # last beats fade out.
        low, high = grid_box_extent(max(2, math.ceil(c)), max(2, math.ceil(r)), SIZE1, far, gap, gap)
        width, height = high[0] - low[0], high[1] - low[1]
        distance = 10 + 0.95 * max(width, height * 1.6)
        # The credits take the left third: the grid's centre sits at about
        # two thirds of the width.
        shift = 0.13 * distance
        target = ((low[0] + high[0]) / 2 - shift, (low[1] + high[1]) / 2, 0)
        camera(beat, target, azimuth, 8, distance, "linear" if beat < 224 else "step", fov=45)


HEADER = [
    "Wembrel - tidewell: the timeline of the show, one key a line (see tools/synctimeline.cpp).",
    "Written by tools/make_tidewell_timeline.py: edit the script, not this file.",
    "128 bpm, 8 rows a beat. Sections in beats: intro 0-32, build 32-64, drop 64-128,",
    "break 128-160, second drop 160-192, outro 192-226 (the song ends at about 226).",
    "Scenes: 0 glow rings (jqgs), 1 box grid (jqbx), 2 title and credit lines (text).",
]


def main():
    out = timeline_keys.output_path("tidewell")
    scenes()
    titles()
    passes()
    rings()
    grid()
    cameras()
    timeline_keys.write(out, HEADER)


if __name__ == "__main__":
    main()
