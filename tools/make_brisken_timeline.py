#!/usr/bin/python3
"""Writes the timeline of "Wembrel - brisken",
data/productions/brisken/timeline.txt: one key a line (see
tools/synctimeline.cpp), made here because much of it is repetition keyed to
the beat (pulses, colour changes, growth spurts).

    tools/make_brisken_timeline.py [timeline.txt]

The show follows the sections of tools/make_brisken.py (75 bpm, a beat is
0.8 s): intro 0-24, build 24-56, drop 56-80, break 80-100, second drop
100-144, plucks 144-164, outro 164-188 (the song ends at about beat 189).

Scenes: 0 disco floor, 1 ball-and-stick tree, 2 particle sphere, 3 tunnel,
4 fireworks, 5 cubes on a plane, 6 glow rings, 7 title and credit lines,
8 droplets. The floor, tree, sphere, rings and droplets look through the
camera tracks; the tunnel, fireworks and cubes have views of their own.
"""

import timeline_keys
from timeline_keys import comment, key, keys, pulses, ramp


def move(track, points, last_row=0.125):
    """A camera move: from each (beat, value) smoothly to the next; the last
    point is held from one row before its beat, so the next section starts
    cleanly on its own key."""
    for (b, v), (nb, _) in zip(points, points[1:]):
        key(track, b, v, "smooth")
    end_beat, end_value = points[-1]
    key(track, end_beat - last_row, end_value)


def beats(start, end, every=1):
    b = start
    while b < end:
        yield b
        b += every


def scenes():
    comment("""Which scenes draw, a section each: the floor under the title, the tree,
the sphere, the tunnel, fireworks over the floor, the cubes, the rings, the
rings around the grown tree, the droplets, and the floor again under the
credits.""")
    for beat, scene in [(0, 0), (24, 1), (40, 2), (56, 3), (80, 0), (100, 5), (120, 6), (132, 1),
                        (144, 8), (164, 0)]:
        key("ActiveScene1st", beat, scene)
    # The fireworks burst over the floor; the rings come back around the tree.
    keys("ActiveScene2nd", (0, -1), (80, 4), (100, -1), (132, 6), (144, -1))
    key("ActiveScene3rd", 0, -1)
    comment("""Overlay: the title's first word over the opening (its second word names
another production and stays hidden), the credit pair over the outro.""")
    keys("ActiveScene4rd", (0, 7), (8, -1), (166, 7), (186, -1))


def title_and_credits():
    comment("""The title: "wembrel" in black, large, on the page the opening fades in from
white; it comes in over the first beat and goes as the floor shows. The
credits: the two lines in the dark above the floor's far edge, one after the
other.""")
    keys("textScene", (0, 0), (160, 1))
    keys("textSize", (0, 200), (160, 118))
    key("textScaleX", 0, 1)
    keys("textX", (0, 0.2), (160, 0.12))
    keys("textY", (0, 0.42), (160, 0.76))
    keys("textX2", (0, 0.5), (160, 0.47))
    keys("textY2", (0, 0.3), (160, 0.62))
    ramp("textFade", 0, 0, 1.5, 1)
    ramp("textFade", 5, 1, 7, 0)
    ramp("textFade", 166, 0, 169, 1)
    ramp("textFade", 180, 1, 184, 0)
    key("textFade2", 0, 0)
    ramp("textFade2", 169, 0, 172, 1)
    ramp("textFade2", 181, 1, 185, 0)


def floor():
    comment("""Disco floor. Intro: the wave under the title, then discs dropping every
other beat, then rings with the spots, which stay for the fireworks and the
outro.""")
    keys("discScroll", (0, 1), (8, 0))
    keys("discDrops", (0, 0), (8, 1), (16, 2))
    keys("discSpots", (0, 0), (12, 1))


def colours():
    comment("""Colour: the floor is white light, so a film tint colours it, a new colour
on every bar of the intro and outro (magenta, azure, orange, emerald). The
tints are pushed past their plain sepia amounts, which gives saturated
colours; each keeps one channel below full, so no white tile burns out. A
cool tint under the title and the fireworks, none elsewhere (the other scenes
bring their own colours).""")
    palette = {
        "magenta": (0, -5, 0),
        "azure": (0, 0, 4),
        "orange": (4, -2, 0),
        "emerald": (0, -3, 3),
        "lime": (0, 3, 0),
        "cool": (0, 0, 1.2),
        "night": (0, 0, 0.6),
        "none": (0, 0, 0),
    }

    def tint(beat, name):
        brown, green, blue = palette[name]
        key("ppFilmBrownSepia", beat, brown)
        key("ppFilmGreenSepia", beat, green)
        key("ppFilmBlueSepia", beat, blue)

    order = ["magenta", "azure", "orange", "emerald"]
    tint(0, "cool")
    for n, b in enumerate(beats(8, 24, 4)):
        tint(b, order[n % 4])
    tint(24, "none")
    tint(80, "night")
    tint(100, "none")
    tint(164, "emerald")
    for n, b in enumerate(beats(172, 188, 4)):
        tint(b, order[(n + 1) % 4])
    keys("ppFilm", (0, 3), (188, -1))
    # Exposure: contrast c with brightness c / 2 multiplies every colour by
    # 1 + c and keeps black black. The tree, lit by one blue light, twice as
    # bright; the cubes' ground, lit from close by, a little darker.
    keys("ppFilmContrast", (0, 0), (24, 1.0), (40, 0))
    keys("ppFilmBrightness", (0, 0), (24, 0.5), (40, 0), (100, -0.06), (120, 0))


def tree():
    comment("""Tree: it grows on the beat, a spurt right after each beat and a slow
creep to the next; from a sapling at once (not from nothing), to half size by
the end of its section, and from there to full size under the rings.""")
    for n, b in enumerate(beats(24, 40)):
        p = 38 + 2.4 * n
        key("ballsProgress", b, p, "linear")
        key("ballsProgress", b + 0.25, p + 1.9, "linear")
    key("ballsProgress", 40, 76.4)
    for n, b in enumerate(beats(132, 144)):
        p = 92 + 20.0 / 12 * n
        key("ballsProgress", b, p, "linear")
        key("ballsProgress", b + 0.25, p + 1.3, "linear")
    key("ballsProgress", 144, 112)


def camera():
    comment("""Camera, one move a section. Floor: low over the near side, drifting across
(the tiles large enough to stay clear of moire). Tree: on the side of its
light, backing off as it grows. Sphere: a fly-around at 18 units. Floor under the fireworks: from
beyond its near edge and low, the far edge below the middle of the frame so
the bursts open in the dark above it, creeping in. Rings,
then rings around the tree: a half turn each. Droplets: nearly straight over
the pool, wide, every place a mark can take in view (the pool's dark corners
lie past the scene's far clip, 150). Floor under the credits: low, rising
slowly, its far edge below the credits.""")
    keys("cameraFoV", (0, 45), (144, 64), (164, 45))
    keys("cameraUpX", (0, 0))
    keys("cameraUpY", (0, 1))
    keys("cameraUpZ", (0, 0))
    keys("cameraDstX", (0, 0))
    keys("cameraDstY", (0, 0), (80, 8), (100, 0))
    keys("cameraDstZ", (0, 0), (80, 20), (100, 0), (164, 20))
    move("cameraEyeX", [(0, -8), (24, 8)])
    move("cameraEyeY", [(0, 24), (24, 16)])
    move("cameraEyeZ", [(0, -30), (24, -26)])
    # The tree: on the side its light is on (the light circles with the
    # growth: from the +x +z side, under the tree, round to -x -z), farther
    # as the tree grows.
    move("cameraEyeX", [(24, 9.7), (28, 9.8), (32, -3.5), (36, -11.7), (40, -10.4)])
    move("cameraEyeY", [(24, 2.4), (28, -7.4), (32, -15.3), (36, -7.4), (40, 3.3)])
    move("cameraEyeZ", [(24, 9.7), (28, 8.6), (32, -2.8), (36, -9.9), (40, -14.3)])
    move("cameraEyeX", [(40, 18), (48, 0), (56, -16)])
    move("cameraEyeY", [(40, 4), (48, 10), (56, 3)])
    move("cameraEyeZ", [(40, 0), (48, 18), (56, 4)])
    move("cameraEyeX", [(80, 0), (100, 0)])
    move("cameraEyeY", [(80, 4.5), (100, 4)])
    move("cameraEyeZ", [(80, -52), (100, -44)])
    move("cameraEyeX", [(120, 0), (132, 8), (144, -10)])
    move("cameraEyeY", [(120, 2), (132, 3), (144, 4)])
    move("cameraEyeZ", [(120, -17), (132, -17), (144, -15)])
    move("cameraEyeX", [(144, 0), (164, 4)])
    move("cameraEyeY", [(144, 125), (164, 122)])
    move("cameraEyeZ", [(144, -3), (164, -2)])
    move("cameraEyeX", [(164, 0), (188, 0)])
    move("cameraEyeY", [(164, 13), (188, 20)])
    move("cameraEyeZ", [(164, -48), (188, -42)])


def rings():
    comment("""Glow rings: turning, protrusions on every beat.""")
    ramp("gsObjRot", 120, 0, 144, 12)
    key("gsProtColor", 0, 1)
    keys("gsColor1", (0, 0.55))
    keys("gsColor2", (0, 0.8))
    keys("gsColor1V", (0, 0.45))
    keys("gsColor2V", (0, 0.45))
    keys("gsColor1A", (0, 0.15))
    keys("gsColor2A", (0, 0.15))
    pulses("gsProtrusion", beats(120, 144), 0.8, 0.3, 0.5)


def fireworks():
    comment("""Fireworks: their clock runs half as fast again as the music's seconds, so
the rockets climb quickly and the bursts open wide; a new seed relaunches
every rocket on the section's first beat and every two bars after it (seeds
picked for bursts that open inside the frame).""")
    key("frwxTime", 0, 0)
    ramp("frwxTime", 80, 0, 100, 24)
    keys("frwxSeed", (0, 0), (80, 5), (88, 121), (96, 211))


def droplets():
    comment("""Droplets: their clock is the beat, a spot on every beat and a droplet on
every other; ring droplets in the second half. Rings spread slowly enough to
stay in the pool; spots large and lasting, so several glow at once.""")
    key("dropTime", 0, 0)
    ramp("dropTime", 144, 144, 164, 164)
    keys("dropCircle", (0, 1), (154, 2))
    key("dropSpSize", 0, 0.9)
    key("dropSpFade", 0, 2.5)
    key("dropCiFade", 0, 3.5)
    key("dropCiSpeed", 0, 0.06)


def passes():
    comment("""Fades: in from a white page under the title, to black at the end; the
floor dimmed under the credits (the overlay is not faded). A flash of white
on the drop.""")
    keys("ppFade", (0, 5), (8, -1), (56, 5), (58, -1), (166, 5))
    # The page breathes with the beat: on each beat a little of the floor
    # shows through at once and is whited over again in half a beat.
    def page(b):
        return 0.86 if b <= 3 else max(0.0, 0.86 * (8 - b) / 5)

    for b in range(8):
        key("ppFadeValue", b, page(b) - 0.2 * (b < 6), "linear")
        key("ppFadeValue", b + 0.5, page(b + 0.5), "linear")
        key("ppFadeValue", b + 0.875, page(b + 0.875))
    key("ppFadeValue", 8, 0)
    ramp("ppFadeValue", 56, 0.6, 58, 0)
    ramp("ppFadeValue", 166, 0, 169, -0.15)
    ramp("ppFadeValue", 180, -0.15, 188, -1)

    comment("""Radial blur: on every beat of the tree's last bar and the build's last two
bars, on every bar of the drop, on every beat under the cubes (the kick), and
softly on every other beat of the sphere.""")
    keys("ppRadblur", (0, -1), (36, 4), (40, -1), (44, 4), (80, -1), (100, 4), (120, -1))
    keys("ppRadblurStep", (0, 0.6))
    keys("ppRadblurCntrY", (0, 0.5), (100, 0.42), (120, 0.5))
    key("ppRadblurStrength", 0, 0)
    pulses("ppRadblurStrength", beats(36, 40), 0.35, 0, 0.5)
    pulses("ppRadblurStrength", beats(44, 48, 2), 0.25, 0, 0.5)
    pulses("ppRadblurStrength", beats(48, 56), 0.4, 0, 0.5)
    pulses("ppRadblurStrength", beats(56, 80, 4), 0.45, 0, 1)
    pulses("ppRadblurStrength", beats(100, 120), 0.5, 0, 0.5)

    comment("""The cubes: the picture drawn a tenth larger, its top tenth left out, so
the light's marker (which rides on the top edge of the cubes' own view) stays
out of the frame instead of half in it.""")
    keys("ppSubdiv", (0, -1), (100, 1), (120, -1))
    keys("ppSubdivNX", (0, 0.9))
    keys("ppSubdivNY", (0, 0.9))
    keys("ppSubdivOffX", (0, 0.05))
    keys("ppSubdivOffY", (0, 0))


HEADER = [
    "Wembrel - brisken: the timeline of the show, one key a line (see",
    "tools/synctimeline.cpp). Written by tools/make_brisken_timeline.py: change it there.",
    "75 bpm, 8 rows a beat (a beat is 0.8 s). Sections in beats: intro 0-24, build 24-56,",
    "drop 56-80, break 80-100, second drop 100-144, plucks 144-164, outro 164-188.",
]


def main():
    out = timeline_keys.output_path("brisken")
    for part in (scenes, title_and_credits, floor, colours, tree, camera, rings, fireworks, droplets, passes):
        part()
    timeline_keys.write(out, HEADER)


if __name__ == "__main__":
    main()
