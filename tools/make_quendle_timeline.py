#!/usr/bin/python3
"""Writes the timeline of "Quendle", data/productions/quendle/timeline.txt,
from the same score as its music (tools/make_quendle_music.py), so the
flashes fall on the snares, the intro's glitches on the hits and the moves
on the beats of the song that is heard.

    tools/make_quendle_timeline.py [timeline.txt]

Sections in beats (155 bpm, a bar is 4 beats):
    0-48     intro (scene 0): the loading bars, the fire leaping with the
             kicks, the flipped logo, then the lettering and logo scrolling
             over stars and fire
    48-80    the record (scene 1) turned upright, squeezed on every beat
    80-144   the piano (scene 2): keyboards and greetings scroll by, keys lit
             by the piano
    144-176  the rotozoomer (scene 3) with the big lettering rising in and
             panning across its two lines
    176-208  the four ribbons (scene 4), lit by the bleeps
    208-220  the note monitor (scene 5): the song's notes as curves, turned
             and folded by the subdivision and kaleidoscope passes into a
             slowly spinning flower
    220-232  the closing lines (scene 2) landing on the last hit, then black
Deterministic (no randomness at all).
"""

import make_quendle_music as song

import timeline_keys
from timeline_keys import comment, key, ramp


def surge(track, start, end, value, end_value):
    """From `value` at `start` to `end_value` at `end` in a move a beat, most of
    it (seven tenths) in the first three eighths of the beat: the motion pushes
    off on the beat instead of running evenly."""
    for b in range(start, end):
        at = lambda beat: value + (end_value - value) * (beat - start) / (end - start)
        key(track, b, round(at(b), 4), "linear")
        key(track, b + 0.375, round(at(b) + 0.7 * (at(b + 1) - at(b)), 4), "linear")
    key(track, end, end_value)


def text_width(text):
    """The block font's widths, as the piano scene lays out its rows."""
    return sum(3 if ch == " " else 7 if ch.upper() in "ITY1" else 8 for ch in text)


def hits(drum, first, end):
    drums = dict(song.score())["Chip Kit"]
    return sorted({start for start, _, k, _ in drums if k == drum and first <= start < end})


def snares(first, end):
    return hits(song.SNARE, first, end)


def kicks(first, end):
    return hits(song.KICK, first, end)


HEADER = [
    "Quendle: the timeline of the show, one key a line (see tools/synctimeline.cpp).",
    "Written by tools/make_quendle_timeline.py from the score of the music: edit the",
    "script, not this file. 155 bpm, 8 rows a beat, a bar is 4 beats.",
]


def main():
    out = timeline_keys.output_path("quendle")

    comment("Scenes: 0 intro, 1 record, 2 piano, 3 lettering, 4 ribbons, 5 note monitor, 2 again\n"
            "for the closing lines.")
    for beat, scene in ((0, 0), (48, 1), (80, 2), (144, 3), (176, 4), (208, 5), (220, 2)):
        key("ActiveScene1st", beat, scene)

    comment("Intro, beats 0-16: the loading bar grows a few cells a beat, the logo wiped\n"
            "in behind it, a second bar sliding in along the top; the bar starts with a\n"
            "jump, so the logo shows within the first bar.")
    key("introSection", 0, 0)
    lengths = [6, 12, 16, 21, 27, 30, 36, 41, 45, 51, 56, 60, 65, 70, 75, 78, 80]
    for beat, length in enumerate(lengths):
        key("introProgress", beat, length)
    ramp("introProg3", 0, 0, 16, 80, "smooth")
    key("introProg2", 0, 0)

    comment("Beats 16-24, where the kick comes in: the fire alone, flaring up on every\n"
            "kick and calming down: with little damping it climbs to the upper quarter of\n"
            "the screen in a second and a half (a damping a little below zero feeds the\n"
            "flames for a moment; much below, their heat wraps round into noise); 24-32:\n"
            "the flipped logo wiped in again with the tower bouncing. In the scrolling part\n"
            "(32-48) the fire burns behind the pictures, in the lower third, and leaps on the\n"
            "kicks. The second wipe of the logo starts a fifth of the way in, as the first\n"
            "one ended.")
    key("introSection", 16, 3)
    key("fireDecay", 0, 0.5)
    for beat in kicks(16, 24):
        ramp("fireDecay", beat, -0.1, beat + 1.5, 0.2, "smooth")
    key("fireDecay", 24, 0.5)
    for beat in kicks(32, 48):
        ramp("fireDecay", beat, 0.05, beat + 1, 0.35, "smooth")
    key("introSection", 24, 1)
    ramp("introProgress", 24, 16, 32, 80)
    for beat in range(24, 32):
        ramp("introProg2", beat, 6, beat + 0.5, 1)

    comment("Beats 32-48: the pictures scroll over stars and fire, a phrase each: the\n"
            "lower lettering through the screen, both letterings, then the logo revealed\n"
            "top down, each pushing off on the beat. Glitch cells burst on every snare.")
    key("introSection", 32, 2)
    for start, value in ((32, 1.0), (36, 2.0), (40, 3.0), (44, 4.0)):
        surge("introProg3", start, start + 4, value, value + 0.97)
    key("introProg3", 48, 4.99)
    key("introRndThings", 0, 0)
    for n, beat in enumerate(snares(32, 48)):
        key("introRndThings", beat, 90)
        key("introRndSeed", beat, n + 1)
        key("introRndThings", beat + 0.25, 25)
        key("introRndThings", beat + 0.5, 0)
    # Sparks of them on the kicks too, from the fire's (16-24) on: a quarter
    # beat of coloured cells, so the flare of the flames has an edge.
    for n, beat in enumerate(kicks(16, 24) + kicks(32, 48)):
        key("introRndThings", beat, 40)
        key("introRndSeed", beat, 100 + n)
        key("introRndThings", beat + 0.25, 0)

    comment("Record, beats 48-80: its left half at once, the rest revealed over two\n"
            "beats, then squeezed on every kick and springing back.")
    ramp("rotoX1", 48, 40, 50, 0, "smooth")
    for beat in range(48, 80):
        ramp("rotoSqY1", beat, 1.35, beat + 0.5, 1.0, "smooth")

    comment("Flashes on the snares of the record, the lettering and the ribbons: white,\n"
            "then fading through the greys in three eighths of a beat; the piano's snares\n"
            "only a dark grey.")
    key("flash", 0, 0)
    for first, end, top in ((48, 80, 3), (80, 144, 1), (144, 176, 3), (176, 208, 2)):
        for beat in snares(first, end):
            for i, value in enumerate(range(top, -1, -1)):
                key("flash", beat + i * 0.125, value)

    comment("Piano, beats 80-144: both rows scroll from the right edge, the greetings\n"
            "readable at about five letters a second; their last items are still leaving\n"
            "on the left when the lettering cuts in (they would have left two beats\n"
            "later), so the screen is never empty; they stay gone for the closing lines.\n"
            "The rows push off on every beat and glide to the next.")
    # The rows' texts, as the piano scene lists them (piano_screen.cpp).
    upper = ["", "Greetings to", "", "Nordvik", "", "Skarholm", "", "Tarnwald", "", "Mossgard", "",
             "Rimfrost", "", "Halcyon", ""]
    lower = []
    for group in ("Lowfold", "Kvasir", "Polar Grid", "Saltmarsh", "Brask", "Murkwood", "Ruddock", "Quorvan",
                  "Kastrup", "Nightjar", "Summit", "Glowmoth"):
        lower += ["", group]
    width = lambda items: sum((57 if not t else text_width(t)) + 4 for t in items)
    progress_end = 100.0
    # Columns per unit of progress, so each row has crossed the screen by the end.
    speed1 = (width(upper) + 80) / progress_end
    speed2 = (width(lower) + 80) / progress_end
    key("pianoSpeed1", 0, round(speed1, 3))
    key("pianoSpeed2", 0, round(speed2, 3))
    key("pianoProgress", 0, 0)
    surge("pianoProgress", 80, 146, 0, progress_end)
    key("lastText", 0, -100)

    comment("Lettering, beats 144-176: rising in from below over four beats, then a\n"
            "step along the upper line on every beat, up to the lower line, and back\n"
            "along it.")
    ramp("bigY", 144, -50, 148, 0, "smooth")
    key("bigX", 144, 0)
    for i in range(17):
        key("bigX", 148 + i, round(i * 220 / 16, 2), "smooth")
    ramp("bigY", 164, 0, 168, 54, "smooth")
    for i in range(9):
        key("bigX", 168 + i, round(220 - i * 220 / 8, 2), "smooth")

    comment("Ribbons, beats 176-208, over the fire of the intro (scene 0 alone with its\n"
            "fire, drawn second: the character screens add up) burning in the lower half and\n"
            "leaping on the kicks.")
    key("ActiveScene2nd", 0, -1)
    key("ActiveScene2nd", 176, 0)
    key("ActiveScene2nd", 208, -1)
    key("introSection", 176, 3)
    for beat in kicks(176, 208):
        ramp("fireDecay", beat, 0.05, beat + 0.75, 0.35, "smooth")

    comment("Each ribbon runs in from the left across the screen every\n"
            "eight beats, the four a beat apart in rows 10, 20, 30 and 40, snaking as\n"
            "their phase turns. Until its first run a ribbon waits left of the screen\n"
            "(head in column -1), so no head cell sits at the left edge.")
    for n in range(4):
        name = f"ribbon{n + 1}"
        key(name + "Y", 0, 10 * (n + 1))
        key(name + "X", 0, -1)
        for lap in range(4):
            start = 176 + lap * 8 + n
            ramp(name + "X", start, 0, start + 7.875, 112)
        ramp(name + "Seed", 176, 0, 208, 40 + 6 * n)

    comment("Note monitor, beats 208-220: the subdivision pass turns the picture about\n"
            "its middle and the kaleidoscope folds it into six mirrored wedges and spins\n"
            "them a step a beat, so the curves of the coming notes bloom and fade as\n"
            "petals; the labels and the grid of the plain view (a tool's screen) do not\n"
            "show as such.")
    key("ppSubdiv", 0, -1)
    key("ppSubdiv", 208, 0)
    key("ppSubdiv", 220, -1)
    for track, value in (("ppSubdivNX", 1), ("ppSubdivNY", 1), ("ppSubdivOffX", 0), ("ppSubdivOffY", 0),
                         ("ppSubdivRotX", 0.5), ("ppSubdivRotY", 0.5)):
        key(track, 0, value)
    ramp("ppSubdivRot", 208, 0.3, 220, -1.4)
    key("ppKaleidoscope", 0, -1)
    key("ppKaleidoscope", 208, 1)
    key("ppKaleidoscope", 220, -1)
    key("ppKaleidoscopeDivisions", 0, 6)
    surge("ppKaleidoscopeRotation", 208, 220, 0, 3.1416)

    comment("Closing lines, beats 220-232: on screen from the cut (the upper line's\n"
            "foot shows at the top), dropping in to land on the last hit (beat 224) over\n"
            "the fire, then everything fades to black before the song's end.")
    ramp("lastText", 220, -20, 224, 0, "smooth")
    # Under them the intro's fire again, low, rising to the last hit and then
    # sinking into embers as the picture fades.
    key("ActiveScene2nd", 220, 0)
    key("fireDecay", 220, 0.3, "linear")
    ramp("fireDecay", 224, -0.05, 228, 0.7)
    key("ppFade", 0, -1)
    key("ppFade", 226, 0)
    ramp("ppFadeValue", 226, 0, 231, -1)

    comment("A radial blur hit where the record, the lettering and the ribbons come in;\n"
            "over the monitor's flower, a lighter one on every beat (after the\n"
            "kaleidoscope: the flower pulses toward its middle).")
    key("ppRadblur", 0, -1)
    key("ppRadblurStep", 0, 0.6)
    for beat in (48, 144, 176):
        key("ppRadblur", beat, 0)
        key("ppRadblur", beat + 2, -1)
        ramp("ppRadblurStrength", beat, 0.8, beat + 2, 0)
    key("ppRadblur", 208, 2)
    key("ppRadblur", 220, -1)
    for beat in range(208, 220):
        ramp("ppRadblurStrength", beat, 0.5, beat + 0.75, 0)

    timeline_keys.write(out, HEADER)
    print(f"wrote {out} ({len(timeline_keys.lines)} lines)")


if __name__ == "__main__":
    main()
