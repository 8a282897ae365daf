#!/usr/bin/python3
"""Writes the timeline of "Orvenhal Korrin System",
data/productions/korrin/timeline.txt: one key a line (see
tools/synctimeline.cpp), made here because most of it is repetition keyed
to the beat (pulses, cross-fades, camera paths).

    tools/make_korrin_timeline.py [timeline.txt]

The show follows the sections of tools/make_korrin_music.py (138 bpm, beats):
intro 0-32, build 32-64, drop 64-128, break 128-160, build2 160-176,
drop2 176-240, outro 240-272 (the song ends at about beat 274).

Scenes: 0 shader gallery, 1 white page, 2 trefoil, 3 city photo, 4 bunker
photos, 5 glowing balls, 6 explosions, 7 title and credits, 8 fallout,
9 smiley floor.
"""
import math

import timeline_keys
from timeline_keys import comment, key, keys, pulses, ramp


def scenes():
    comment("""Which scenes draw, in the order of the music: the gallery under the title,
the white page with the trefoil for the end of the build, then on the drop the
city, the bunker, the balls and the explosions, which cross-fade on into the
break and dissolve into the fallout; the fallout for the rest of the break and
the second build, where the trefoil comes back over it; the smiley floor for
the second drop with a gallery and balls interlude, and the floor again under
the credits.""")
    for beat, scene in [(0, 0), (48, 1), (64, 3), (80, 4), (96, 5), (112, 6), (140, 8), (176, 9),
                        (208, 0), (224, 5), (240, 9)]:
        key("ActiveScene1st", beat, scene)
    keys("ActiveScene2nd", (0, -1), (48, 2), (64, -1), (140, 6), (144, -1), (160, 2), (176, -1))
    key("ActiveScene3rd", 0, -1)
    keys("ActiveScene4rd", (0, 7), (32, -1), (240, 7))


def gallery():
    comment("""The gallery walks its seven programs, a phrase each in the intro, faster
with the snare roll; the interlude in the second drop revisits four of them.
The burning page catches fire every sixteen beats (32, 48, ... 208) and is
shown from then on, while there is paper left to burn.""")
    for beat, nr in [(0, 0), (8, 1), (16, 2), (24, 3), (32, 5), (40, 4), (44, 6),
                     (208, 5), (212, 1), (216, 4), (220, 6)]:
        key("ShaderToyNr", beat, nr)


def title_and_credits():
    comment("""Title: the three words come in one by one, a bar apart, and leave together
before the build, in a band along the top: the gallery's pictures have their
subject in the middle (the nucleus, the explosion) or at the bottom (the
fires). Credits over the outro in the same face.""")
    keys("textScene", (0, 0), (240, 1))
    keys("textSize", (0, 112), (240, 110))
    # Paler for the credits: the floor's smileys behind them are the title's
    # yellow.
    keys("textVal", (0, 0.5), (240, 0.82))
    for n, start in ((1, 4), (2, 8), (3, 12)):
        key(f"textA{n}", 0, 0)
        ramp(f"textA{n}", start, 0, start + 2, 1)
        ramp(f"textA{n}", 28, 1, 32, 0)
    for n, start in ((1, 244), (2, 248)):
        ramp(f"textA{n}", start, 0, start + 2, 1)
    # "Orvenhal" above, "Korrin System" under it; a slight drift of each line
    # while it shows, the last two words drifting apart.
    key("textY1", 0, 0.83)
    key("textY2", 0, 0.67)
    key("textY3", 0, 0.67)
    ramp("textX1", 0, 0.06, 32, 0.09)
    ramp("textX2", 0, 0.36, 32, 0.33)
    ramp("textX3", 0, 0.63, 32, 0.66)
    ramp("textX1", 240, 0.10, 272, 0.14)
    key("textY1", 240, 0.64)
    ramp("textX2", 240, 0.27, 272, 0.23)
    key("textY2", 240, 0.40)


def trefoil():
    comment("""The trefoil on the white page: a yellow symbol on a black disc that grows
out of the middle over the first bars and then beats with the kick, its yellow
turning to red toward the drop.""")
    key("NukeTriBgVal", 0, 0)
    key("NukeTriBgAlpha", 0, 0.92)
    key("NukeTriFgAlpha", 0, 1)
    ramp("NukeTriFgHue", 48, 0.15, 64, 0.0)
    key("NukeTriSize", 0, 0.0)
    key("NukeTriSize", 48, 0.05, "smooth")
    for b in range(56, 64):
        ramp("NukeTriSize", b, 0.82, b + 0.875, 0.7 + 0.02 * (b - 55))

    comment("""The trefoil again in the second build, a red ghost high over the fallout,
half see-through, growing with the roll: a kick of its size on every beat,
two a beat in the last bar.""")
    keys("NukeTriFgHue", (160, 0.01))
    keys("NukeTriFgAlpha", (160, 0.6))
    keys("NukeTriBgAlpha", (160, 0.35))
    keys("NukeTriY", (0, 0), (160, 0.3))
    hits = list(range(160, 172)) + [172 + 0.5 * i for i in range(8)]
    for n, b in enumerate(hits):
        base = 0.22 + 0.5 * (b - 160) / 16
        ramp("NukeTriSize", b, base + 0.12, b + (0.375 if b >= 172 else 0.75), base)


def city():
    comment("""The city: from a close look at the roofs the picture pans across and pulls
back until the whole of it shows at the end of the phrase.""")
    for beat, x, y, size, interpolation in ((64, -1.3, -0.9, 2.8, "smooth"), (72, -0.2, -0.55, 1.9, "smooth"),
                                            (79, 0, 0, 1, "step")):
        key("NukImgX", beat, x, interpolation)
        key("NukImgY", beat, y, interpolation)
        key("NukImgSiz", beat, size, interpolation)


def bunker():
    comment("""The bunker: the radio for two bars, then the road sign, each filling the
width and slowly closing in; the outlines flare in orange on every beat
(cyan on the sign).""")
    keys("BunkerMode", (80, 0), (88, 1))
    key("BunkerImg", 0, 0.95)
    keys("BunkerHue", (80, 0.08), (88, 0.5))
    for start in (80, 88):
        key("BunkerImgSiz", start, 1.4, "linear")
        key("BunkerImgX", start, -0.2, "linear")
        key("BunkerImgY", start, -0.2, "linear")
        key("BunkerImgSiz", start + 7.875, 1.6, "step")
        key("BunkerImgX", start + 7.875, -0.3, "step")
        key("BunkerImgY", start + 7.875, -0.3, "step")
    key("BunkerEdge", 0, 0)
    pulses("BunkerEdge", range(80, 96), 1.2, 0.15, 0.875)


def explosions():
    comment("""The explosions: each photo fades in over two beats and out over the next
two while the next one comes in, a photo every bar; the last one dissolves
into the fallout over the bar before it. The outlines flash white on every
beat of the drop and more softly on the beats of the break. (The slow push
in on the photos is the subdivision pass's, below.)""")
    for i in range(7):
        track = f"Blast{i}"
        start = 112 + 4 * i
        key(track, 0, 0)
        if i > 0:
            key(track, start - 2, 0, "linear")
        key(track, start, 1, "step")
        if i < 6:
            key(track, start + 2, 1, "linear")
            key(track, start + 4, 0, "step")
    key("BlastHue", 0, 0.1)
    key("BlastVal", 0, 0.75)
    key("BlastEdge", 0, 0)
    pulses("BlastEdge", range(112, 128), 1.0, 0.1, 0.875)
    pulses("BlastEdge", range(128, 144), 0.6, 0.2, 0.875)
    key("BlastAlpha", 0, 1)
    ramp("BlastAlpha", 140, 1, 144, 0)


def camera():
    comment("""The floor: every face shows the smiley upright to a camera on the far side
of the floor (z above 14, looking toward smaller z), so the camera stays on
that side. Through the first half of the second drop it comes down from high
above in a swing across that side, from the left to the right and back, a
stop on every bar; under the credits it runs low across the floor and then
rises away until the floor shrinks into the dark.""")
    swing = [150, 120, 90, 60, 35, 55, 85, 115, 140]
    for n, degrees in enumerate(swing):
        beat = 176 + 4 * n
        a = math.radians(degrees)
        r = 34 - 1.2 * n
        key("cameraEyeX", beat, round(14 + r * math.cos(a), 2), "smooth")
        key("cameraEyeZ", beat, round(14 + r * math.sin(a), 2), "smooth")
        key("cameraEyeY", beat, round(30 - 2.2 * n, 2), "smooth")
    for t in ("cameraDstX", "cameraDstZ"):
        key(t, 176, 14)
    # Aimed below the middle: seen from above at a slant the near half of the
    # floor looks bigger than the far half, and aimed at the middle the near
    # edge would leave the bottom of the picture with black above the far one.
    key("cameraDstY", 176, -5)
    # 224-240 is the interlude of balls; the run starts at 240 (credits).
    key("cameraEyeX", 240, -8, "linear")
    key("cameraEyeZ", 240, 36, "linear")
    key("cameraEyeY", 240, 5, "smooth")
    key("cameraDstX", 240, 14, "linear")
    key("cameraDstZ", 240, 14, "linear")
    key("cameraEyeX", 256, 14, "smooth")
    key("cameraEyeZ", 256, 44, "smooth")
    key("cameraEyeY", 256, 24, "smooth")
    key("cameraDstX", 256, 14, "step")
    key("cameraDstZ", 256, 14, "step")
    key("cameraEyeX", 272, 14, "step")
    key("cameraEyeZ", 272, 32, "step")
    key("cameraEyeY", 272, 70, "step")


def passes():
    comment("""Passes, in this order when several run: subdivision, film, noise, radial
blur, VHS, fade.
The fade brings the show out of black, flashes white on the blasts of the two
drops and on the first explosion, and goes to black at the end.""")
    key("ppFade", 0, 4)
    ramp("ppFadeValue", 0, -1, 4, 0)
    # The gallery burns out to white over the bar before the white page.
    key("ppFadeValue", 44, 0, "ramp")
    key("ppFadeValue", 47.875, 1)
    key("ppFadeValue", 48, 0)
    for hit in (64, 112, 176):
        ramp("ppFadeValue", hit, 0.9, hit + 2, 0)
    # The fallout breathes a little light on every beat of the break (no drums
    # there: pads and a sparse lead), more with every beat of the second build.
    for b in range(144, 176):
        high = 0.12 if b < 160 else 0.12 + 0.16 * (b - 160) / 16
        ramp("ppFadeValue", b, high, b + 0.75, 0)
    # Under the credits the floor dims, so the words (drawn after the passes)
    # stand out, lighting up a little on every beat; then everything goes to
    # black.
    key("ppFadeValue", 240, 0, "linear")
    for b in range(244, 264):
        ramp("ppFadeValue", b, -0.4, b + 0.75, -0.6)
    ramp("ppFadeValue", 264, -0.6, 272, -1)

    comment("""Radial blur kicks on the beat through both drops and the second build.""")
    keys("ppRadblur", (0, -1), (64, 2), (128, -1), (160, 2), (240, -1))
    key("ppRadblurStep", 0, 0.6)
    key("ppRadblurStrength", 0, 0)
    # Harder on the city: its pan alone moves the picture as much as a light kick.
    pulses("ppRadblurStrength", range(64, 80), 0.55, 0.0, 0.75)
    pulses("ppRadblurStrength", range(80, 128), 0.35, 0.0, 0.75)
    # The second build's roll, growing; the blur centred on the trefoil.
    for b in range(160, 176):
        ramp("ppRadblurStrength", b, 0.15 + 0.3 * (b - 160) / 16, b + 0.75, 0.0)
    keys("ppRadblurCntrY", (0, 0.5), (160, 0.62), (176, 0.5))
    pulses("ppRadblurStrength", range(176, 208), 0.3, 0.0, 0.75)
    pulses("ppRadblurStrength", range(224, 240), 0.35, 0.0, 0.75)

    comment("""Film: the white page toned down to a warm paper white (the page is pure
white, which burns out), grain on the city, sepia grain and scan lines on the
fallout, the colour coming back with the second build, a little grain under
the credits. After the subdivision pass, so its grain and lines keep their
pixel size. The grain stays fine: a heavy one changes every pixel every frame
and drowns the picture's own motion.""")
    keys("ppFilm", (0, -1), (48, 0.5), (80, -1), (144, 0.5), (176, -1), (240, 0.5))
    keys("ppFilmBrightness", (48, -0.07), (64, 0))
    keys("ppFilmFilmgrainAmount", (48, 0))
    keys("ppFilmScanlineAmount", (48, 0))
    key("ppFilmBrownSepia", 48, 0.2)
    key("ppFilmFilmgrainAmount", 64, 0.06)
    key("ppFilmBrownSepia", 64, 0)
    key("ppFilmScanlineAmount", 64, 0)
    key("ppFilmBrownSepia", 144, 0.75)
    ramp("ppFilmBrownSepia", 160, 0.75, 176, 0.3)
    key("ppFilmFilmgrainAmount", 144, 0.1)
    key("ppFilmScanlineAmount", 144, 0.25)
    key("ppFilmBrownSepia", 240, 0)
    key("ppFilmFilmgrainAmount", 240, 0.08)
    key("ppFilmScanlineAmount", 240, 0)

    comment("""The subdivision pass as a camera on the pictures, one tile (N below 1 shows
the part from Off to Off + N): a slow push in on the explosions, then two
shots of the fallout in the break, the whole skyline panned to the right and a
close look along the ruins panning back, and a push in toward the trefoil with
the second build.""")
    keys("ppSubdiv", (0, -1), (112, 0), (176, -1))
    for t in ("ppSubdivRot",):
        key(t, 0, 0)
    for t in ("ppSubdivRotX", "ppSubdivRotY"):
        key(t, 0, 0.5)
    for beat, n, off_x, off_y, interpolation in ((112, 1.0, 0.0, 0.0, "linear"), (144, 0.8, 0.1, 0.1, "linear"),
                                                 (151.875, 0.8, 0.2, 0.04, "step"),
                                                 (152, 0.55, 0.43, 0.0, "linear"),
                                                 (160, 0.55, 0.22, 0.02, "smooth"), (176, 0.62, 0.19, 0.29, "step")):
        key("ppSubdivNX", beat, n, interpolation)
        key("ppSubdivNY", beat, n, interpolation)
        key("ppSubdivOffX", beat, off_x, interpolation)
        key("ppSubdivOffY", beat, off_y, interpolation)

    comment("Noise over the fallout, growing with the second build.")
    keys("ppNoise", (0, -1), (144, 1), (176, -1))
    ramp("ppNoiseAlpha", 144, 0.05, 176, 0.2)
    ramp("ppNoiseTime", 0, 0, 272, 272)

    comment("""VHS: a one-beat burst at the end of every other bar of the second drop's
floor, and all through the gallery interlude with the rolling band.""")
    key("ppVHS", 0, -1)
    for b in range(183, 207, 8):
        keys("ppVHS", (b, 3), (b + 1, -1))
    keys("ppVHS", (208, 3), (224, -1))
    key("ppVHSAlpha", 0, 1.0)
    keys("ppVHSBandOn", (0, 0), (208, 1), (224, 0))
    ramp("ppVHSTime", 0, 0, 272, 272)


HEADER = [
    "Orvenhal Korrin System: the timeline of the show, one key a line (see",
    "tools/synctimeline.cpp). Written by tools/make_korrin_timeline.py: change it there.",
    "138 bpm, 8 rows a beat. Sections in beats: intro 0-32, build 32-64, drop 64-128,",
    "break 128-160, build2 160-176, drop2 176-240, outro 240-272.",
]


def main():
    out = timeline_keys.output_path("korrin")
    for part in (scenes, gallery, title_and_credits, trefoil, city, bunker, explosions, camera, passes):
        part()
    timeline_keys.write(out, HEADER)


if __name__ == "__main__":
    main()
