#!/usr/bin/python3
"""Renders the soundtrack of "Wembrel - tidewell": an original electronic
piece at 128 bpm in A minor, 56 bars (105 s), with an intro, a build, a drop,
a break, a second drop and an outro. Drums, bass, chords and a lead are
synthesised with numpy (the instruments of tools/synth.py) and the mix is
encoded to MP3 with lame.

    tools/make_tidewell.py [output.mp3]

Needs python3-numpy and lame (Debian). The result is deterministic.
"""
import os
import sys

import numpy as np

import synth
from synth import RATE, add, at

BPM = 128.0
BEAT = 60.0 / BPM
BAR = 4 * BEAT
STEP = BEAT / 4  # sixteenth note

# Sections in bars: name, first bar, bar count.
SECTIONS = [
    ("intro", 0, 8),
    ("build", 8, 8),
    ("drop", 16, 16),
    ("break", 32, 8),
    ("drop2", 40, 8),
    ("outro", 48, 8),
]
BARS = 56
LENGTH = int(BARS * BAR * RATE) + RATE  # one second of tail


# ---- score -------------------------------------------------------------

# A minor: Am, F, C, G (one chord a bar), as MIDI notes.
CHORDS = [[57, 60, 64], [53, 57, 60], [48, 52, 55], [55, 59, 62]]
ROOTS = [33, 29, 36, 31]
LEAD_PHRASE = [  # (sixteenth step within two bars, note, length in steps)
    (0, 76, 3), (4, 74, 2), (6, 72, 2), (8, 69, 4), (14, 72, 2),
    (16, 74, 3), (20, 76, 2), (22, 79, 2), (24, 76, 6), (30, 74, 2),
]


def render():
    drums = np.zeros(LENGTH)
    bass = np.zeros(LENGTH)
    pads = np.zeros(LENGTH)
    lead = np.zeros(LENGTH)
    sounds = synth.kit()

    for bar in range(BARS):
        sec, progress = synth.section(SECTIONS, bar)
        t0 = bar * BAR
        chord = bar % 4

        # Drums
        if sec in ("drop", "drop2"):
            synth.drop_beat(drums, t0, BEAT, sounds, 0.5)
        elif sec == "build":
            synth.build_beat(drums, t0, BEAT, sounds, progress)
        elif sec == "intro":
            for st in range(0, 16, 2):
                add(drums, at(t0 + st * STEP), sounds.closed, 0.2 + 0.3 * progress)
            if bar >= 4:
                add(drums, at(t0), sounds.kick, 0.7)
        elif sec == "outro":
            synth.outro_beat(drums, t0, BEAT, sounds, progress)

        # Bass: off-beat eighths in the drops, long notes in build and break
        root = ROOTS[chord]
        if sec in ("drop", "drop2"):
            synth.offbeat_bass(bass, t0, BEAT, root)
        elif sec in ("build", "break"):
            add(bass, at(t0), synth.bass_note(root, BAR * 0.95), 0.5)

        # Chords
        bright = {"intro": 600 + 1200 * progress, "build": 1500 + 2000 * progress,
                  "drop": 3500, "break": 900, "drop2": 4000, "outro": 1500 * (1 - progress) + 300}[sec]
        gain = {"intro": 0.5, "build": 0.5, "drop": 0.35, "break": 0.6, "drop2": 0.35, "outro": 0.5}[sec]
        add(pads, at(t0), synth.pad_chord(CHORDS[chord], BAR * 1.05, bright), gain)

        # Lead: the phrase over two bars in the drops, sparse in the break
        if (sec in ("drop", "drop2") and bar % 2 == 0) or (sec == "break" and bar % 2 == 1):
            synth.lead_phrase(lead, t0, BEAT, LEAD_PHRASE, 0.35, transpose=12 if sec == "drop2" else 0,
                              sparse=sec == "break")

    # Sidechain-style ducking of pads and bass on the drop kicks
    duck = np.ones(LENGTH)
    kicks = [bar * BAR + b * BEAT for bar in range(BARS) if synth.section(SECTIONS, bar)[0] in ("drop", "drop2")
             for b in range(4)]
    synth.duck_under(duck, kicks, BEAT, 0.08)
    mix = synth.stereo_mix(drums, bass, pads, lead, duck)
    mix /= np.max(np.abs(mix)) * 1.1
    synth.fade_tail(mix)
    return mix


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(__file__), "..", "data", "music", "Krestel_-_Tidewell.mp3")
    synth.write_mp3(render(), out, "Tidewell", 160)


if __name__ == "__main__":
    main()
