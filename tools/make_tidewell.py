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


def section_of(bar):
    for name, first, count in SECTIONS:
        if first <= bar < first + count:
            return name
    return "outro"


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
    k, s, ch, oh = synth.kick(), synth.snare(), synth.hat(False), synth.hat(True)

    for bar in range(BARS):
        sec = section_of(bar)
        t0 = bar * BAR
        chord = bar % 4
        first, count = next((f, c) for name, f, c in SECTIONS if name == sec)
        progress = (bar - first) / count

        # Drums
        if sec in ("drop", "drop2"):
            for b in range(4):
                add(drums, at(t0 + b * BEAT), k, 1.0)
            for b in (1, 3):
                add(drums, at(t0 + b * BEAT), s, 0.6)
            for st in range(16):
                add(drums, at(t0 + st * STEP), oh if st % 4 == 2 else ch, 0.5)
        elif sec == "build":
            for b in range(4):
                add(drums, at(t0 + b * BEAT), k, 0.8)
            # snare roll that doubles its rate over the build
            rate = 2 if progress < 0.5 else (4 if progress < 0.875 else 8)
            for i in range(4 * rate // 2, 4 * rate):
                add(drums, at(t0 + i * BAR / (4 * rate)), s, 0.25 + 0.4 * progress)
            for st in range(0, 16, 2):
                add(drums, at(t0 + st * STEP), ch, 0.4)
        elif sec == "intro":
            for st in range(0, 16, 2):
                add(drums, at(t0 + st * STEP), ch, 0.2 + 0.3 * progress)
            if bar >= 4:
                add(drums, at(t0), k, 0.7)
        elif sec == "outro":
            if progress < 0.5:
                for b in range(4):
                    add(drums, at(t0 + b * BEAT), k, 0.8 * (1 - progress))
            for st in range(0, 16, 4):
                add(drums, at(t0 + st * STEP), ch, 0.3 * (1 - progress))

        # Bass: off-beat eighths in the drops, long notes in build and break
        root = ROOTS[chord]
        if sec in ("drop", "drop2"):
            for e in range(8):
                note = root + (12 if e % 4 == 3 else 0)
                add(bass, at(t0 + e * BEAT / 2 + BEAT / 4), synth.bass_note(note, BEAT / 4), 0.8)
        elif sec in ("build", "break"):
            add(bass, at(t0), synth.bass_note(root, BAR * 0.95), 0.5)

        # Chords
        bright = {"intro": 600 + 1200 * progress, "build": 1500 + 2000 * progress,
                  "drop": 3500, "break": 900, "drop2": 4000, "outro": 1500 * (1 - progress) + 300}[sec]
        gain = {"intro": 0.5, "build": 0.5, "drop": 0.35, "break": 0.6, "drop2": 0.35, "outro": 0.5}[sec]
        add(pads, at(t0), synth.pad_chord(CHORDS[chord], BAR * 1.05, bright), gain)

        # Lead: the phrase over two bars in the drops, sparse in the break
        if sec in ("drop", "drop2") or (sec == "break" and bar % 2 == 1):
            if bar % 2 == 0 or sec == "break":
                for step, note, length in LEAD_PHRASE:
                    if sec == "break" and step % 8:
                        continue
                    transpose = 12 if sec == "drop2" else 0
                    add(lead, at(t0 + step * STEP), synth.lead_note(note + transpose, length * STEP), 0.35)

    # Sidechain-style ducking of pads and bass on the drop kicks
    duck = np.ones(LENGTH)
    kicks = [bar * BAR + b * BEAT for bar in range(BARS) if section_of(bar) in ("drop", "drop2") for b in range(4)]
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
