#!/usr/bin/python3
"""Renders the soundtrack of "Wembrel - brisken": an original piece at 75 bpm
in D minor, 47 bars (150 s), in sections that follow the show: an intro, a
build, a drop with a heavy low end (the tunnel pulses with the level), a
half-time break, a second drop with the lead, a lighter plucked section and
an outro. The instruments are those of tools/synth.py; the mix is encoded to
MP3 with lame.

    tools/make_brisken.py [output.mp3]

Needs python3-numpy and lame (Debian). The result is deterministic.
"""
import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import synth  # noqa: E402
from synth import RATE, add, at, envelope, midi_hz  # noqa: E402

BPM = 75.0
BEAT = 60.0 / BPM
BAR = 4 * BEAT
STEP = BEAT / 4  # sixteenth note

# Sections in bars: name, first bar, bar count (16 beats = 4 bars).
SECTIONS = [
    ("intro", 0, 6),
    ("build", 6, 8),
    ("drop", 14, 6),
    ("break", 20, 5),
    ("drop2", 25, 11),
    ("pluck", 36, 5),
    ("outro", 41, 6),
]
BARS = 47
LENGTH = int(BARS * BAR * RATE) + RATE  # one second of tail

# D minor: Dm, Bb, F, C (one chord a bar).
CHORDS = [[62, 65, 69], [58, 62, 65], [60, 65, 69], [60, 64, 67]]
ROOTS = [38, 34, 41, 36]
LEAD_PHRASE = [  # (sixteenth step within two bars, note, length in steps)
    (0, 74, 4), (6, 72, 2), (8, 69, 6), (16, 70, 4), (22, 72, 2), (24, 74, 4), (28, 77, 4),
]
PLUCK_STEPS = [0, 3, 6, 8, 11, 14]  # within a bar


def sub_kick():
    """The drop's kick: the shared kick over a long sine tail at 45 Hz that
    carries the low end."""
    n = at(0.6)
    t = np.arange(n) / RATE
    tail = np.sin(2 * np.pi * 45.0 * t) * np.exp(-t * 5.0)
    body = np.zeros(n)
    k = synth.kick()
    body[: len(k)] = k
    return np.tanh(1.3 * (body + 0.6 * tail))


def pluck(note, length):
    n = at(length)
    t = np.arange(n) / RATE
    f = midi_hz(note)
    tone = np.sin(2 * np.pi * f * t) + 0.4 * np.sin(4 * np.pi * f * t) + 0.15 * np.sin(6 * np.pi * f * t)
    return tone * np.exp(-t * 7.0) * envelope(n, 0.002, 0.05)


def render():
    drums = np.zeros(LENGTH)
    bass = np.zeros(LENGTH)
    pads = np.zeros(LENGTH)
    lead = np.zeros(LENGTH)
    kick, big_kick = synth.kick(), sub_kick()
    snare, closed, opened = synth.snare(), synth.hat(False), synth.hat(True)
    heavy = ("drop", "drop2")

    for bar in range(BARS):
        name, progress = synth.section(SECTIONS, bar)
        t0 = bar * BAR
        chord = bar % 4
        root = ROOTS[chord]

        # Drums: a kick on every beat wherever the show pulses on the beat.
        if name in heavy:
            for b in range(4):
                add(drums, at(t0 + b * BEAT), big_kick, 1.0)
            add(drums, at(t0 + 3.5 * BEAT), kick, 0.5)
            for b in (1, 3):
                add(drums, at(t0 + b * BEAT), snare, 0.6)
            for st in range(16):
                add(drums, at(t0 + st * STEP), opened if st % 4 == 2 else closed, 0.45)
        elif name == "build":
            for b in range(4):
                add(drums, at(t0 + b * BEAT), kick, 0.6 + 0.3 * progress)
            if progress >= 0.75:  # snare roll over the last two bars
                rate = 8 if progress < 0.875 else 16
                for i in range(rate):
                    add(drums, at(t0 + i * BAR / rate), snare, 0.2 + 0.5 * progress)
            for st in range(0, 16, 2):
                add(drums, at(t0 + st * STEP), closed, 0.35)
        elif name == "break":
            add(drums, at(t0), big_kick, 0.8)
            add(drums, at(t0 + 2.5 * BEAT), kick, 0.6)
            add(drums, at(t0 + 2 * BEAT), snare, 0.5)
            for st in range(0, 16, 2):
                add(drums, at(t0 + st * STEP), opened if st % 8 == 4 else closed, 0.3)
        elif name == "pluck":
            for b in range(4):
                add(drums, at(t0 + b * BEAT), kick, 0.7)
            for st in range(2, 16, 4):
                add(drums, at(t0 + st * STEP), closed, 0.35)
        elif name == "intro":
            for st in range(0, 16, 2):
                add(drums, at(t0 + st * STEP), closed, 0.15 + 0.25 * progress)
            if bar >= 2:
                add(drums, at(t0), kick, 0.7)
                add(drums, at(t0 + 2 * BEAT), kick, 0.5)
        elif name == "outro":
            fade = 1.0 - progress
            for b in range(4):
                add(drums, at(t0 + b * BEAT), kick, 0.7 * fade)
            for st in range(0, 16, 4):
                add(drums, at(t0 + st * STEP), closed, 0.3 * fade)

        # Bass: driving sixteenths in the drops, long notes elsewhere.
        if name in heavy:
            for e in range(16):
                if e % 4 == 0:
                    continue  # room for the kick
                note = root + (12 if e % 8 == 6 else 0)
                add(bass, at(t0 + e * STEP), synth.bass_note(note, STEP * 0.9), 0.75)
        elif name in ("build", "break", "pluck"):
            add(bass, at(t0), synth.bass_note(root, BAR * 0.95), 0.55)

        # Chords
        bright = {"intro": 500 + 1000 * progress, "build": 1200 + 2300 * progress, "drop": 3200,
                  "break": 900, "drop2": 3800, "pluck": 1400, "outro": 1200 * (1 - progress) + 300}[name]
        gain = {"intro": 0.9, "build": 0.5, "drop": 0.3, "break": 0.6, "drop2": 0.3, "pluck": 0.4,
                "outro": 0.5 * (1 - 0.5 * progress)}[name]
        add(pads, at(t0), synth.pad_chord(CHORDS[chord], BAR * 1.05, bright), gain)

        # Lead phrase over two bars in the second drop, and sparse in the break;
        # plucked arpeggios over the chord in the pluck section.
        if (name == "drop2" and bar % 2 == 1) or (name == "break" and bar % 2 == 0):
            synth.lead_phrase(lead, t0, BEAT, LEAD_PHRASE, 0.3, sparse=name == "break")
        if name in ("pluck", "drop2"):
            notes = CHORDS[chord] + [CHORDS[chord][0] + 12]
            for i, st in enumerate(PLUCK_STEPS):
                add(lead, at(t0 + st * STEP), pluck(notes[i % len(notes)] + 12, STEP * 3),
                    0.25 if name == "pluck" else 0.12)

    # Pads and bass duck under the drop kicks.
    duck = np.ones(LENGTH)
    kicks = [bar * BAR + b * BEAT for bar in range(BARS) if synth.section(SECTIONS, bar)[0] in heavy for b in range(4)]
    synth.duck_under(duck, kicks, BEAT, 0.1)
    mix = synth.stereo_mix(drums, bass, pads, lead, duck)
    # A soft limiter: louder quiet parts without clipping the drops.
    mix /= np.max(np.abs(mix))
    mix = np.tanh(1.8 * mix) / (np.tanh(1.8) * 1.1)
    synth.fade_tail(mix)
    return mix


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(__file__), "..", "data", "music", "Krestel_-_Brisken.mp3")
    synth.write_mp3(render(), out, "Brisken", 112)


if __name__ == "__main__":
    main()
