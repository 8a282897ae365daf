#!/usr/bin/python3
"""Renders the soundtrack of "Orvenhal Korrin System": an original piece at
138 bpm in D minor, 68 bars (118 s), encoded to MP3 with lame. The
instruments are those of tools/synth.py, shared with the other pieces; the
score, the sections and two sounds of its own (a rising siren and a long
low blast under each drop) are this piece's.

Sections in bars (beats = bars x 4), which the timeline of
data/productions/korrin/ follows:

    intro   0-8    pads and hats fading in, the siren
    build   8-16   kick, a snare roll that doubles its rate
    drop   16-32   full beat, off-beat bass, the lead; a blast on bar 16
    break  32-40   pads and a sparse lead, no drums
    build2 40-44   a short roll
    drop2  44-60   full beat, the lead an octave up; a blast on bar 44
    outro  60-68   drums thin out, pads close

    tools/make_korrin_music.py [output.mp3]

Needs python3-numpy and lame (Debian). The result is deterministic.
"""
import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import synth  # noqa: E402  (the shared instruments)

RATE = synth.RATE
BPM = 138.0
BEAT = 60.0 / BPM
BAR = 4 * BEAT
STEP = BEAT / 4

SECTIONS = [
    ("intro", 0, 8),
    ("build", 8, 8),
    ("drop", 16, 16),
    ("break", 32, 8),
    ("build2", 40, 4),
    ("drop2", 44, 16),
    ("outro", 60, 8),
]
BARS = 68
LENGTH = int(BARS * BAR * RATE) + RATE  # one second of tail
DROPS = ("drop", "drop2")

at, add = synth.at, synth.add
rng = np.random.default_rng(138)


# ---- this piece's own sounds --------------------------------------------

def siren(length):
    """A sine that rises and falls twice over `length` seconds."""
    n = at(length)
    t = np.arange(n) / RATE
    freq = 420.0 + 260.0 * (0.5 - 0.5 * np.cos(2 * np.pi * 2 * t / length))
    phase = 2 * np.pi * np.cumsum(freq) / RATE
    return np.sin(phase) * synth.envelope(n, length * 0.3, length * 0.3)


def blast(length):
    """A long low rumble: noise through a closing low-pass, a thump first."""
    n = at(length)
    t = np.arange(n) / RATE
    noise = rng.uniform(-1, 1, n)
    rumble = synth.one_pole_lowpass(noise, 60.0 + 900.0 * np.exp(-t * 3.0)) * np.exp(-t * 1.1)
    thump = np.sin(2 * np.pi * np.cumsum(40.0 + 80.0 * np.exp(-t * 12.0)) / RATE) * np.exp(-t * 4.0)
    return np.tanh(2.5 * rumble + thump)


# ---- score ---------------------------------------------------------------

# D minor: Dm, Bb, Gm, A (one chord a bar), as MIDI notes.
CHORDS = [[50, 53, 57], [46, 50, 53], [43, 46, 50], [45, 49, 52]]
ROOTS = [38, 34, 31, 33]
LEAD = [  # (sixteenth step within two bars, note, length in steps)
    (0, 74, 2), (2, 77, 2), (4, 81, 4), (10, 79, 2), (12, 77, 4),
    (16, 74, 2), (18, 73, 2), (20, 76, 4), (26, 77, 2), (28, 76, 4),
]


def render():
    drums = np.zeros(LENGTH)
    bass = np.zeros(LENGTH)
    pads = np.zeros(LENGTH)
    lead = np.zeros(LENGTH)
    fx = np.zeros(LENGTH)
    sounds = synth.kit()

    for bar in range(BARS):
        sec, progress = synth.section(SECTIONS, bar)
        t0 = bar * BAR
        chord = bar % 4
        root = ROOTS[chord]

        if sec in DROPS:
            synth.drop_beat(drums, t0, BEAT, sounds, 0.45)
            synth.offbeat_bass(bass, t0, BEAT, root)
        elif sec in ("build", "build2"):
            synth.build_beat(drums, t0, BEAT, sounds, progress)
            add(bass, at(t0), synth.bass_note(root, BAR * 0.95), 0.5)
        elif sec == "intro":
            for st in range(0, 16, 2):
                add(drums, at(t0 + st * STEP), sounds.closed, 0.15 + 0.3 * progress)
        elif sec == "break":
            add(bass, at(t0), synth.bass_note(root, BAR * 0.95), 0.45)
        elif sec == "outro":
            synth.outro_beat(drums, t0, BEAT, sounds, progress)

        bright = {"intro": 500 + 1000 * progress, "build": 1500 + 2000 * progress, "drop": 3200,
                  "break": 800, "build2": 1800 + 2000 * progress, "drop2": 3800,
                  "outro": 1400 * (1 - progress) + 300}[sec]
        gain = {"intro": 0.5, "build": 0.5, "drop": 0.35, "break": 0.6, "build2": 0.5,
                "drop2": 0.35, "outro": 0.5}[sec]
        add(pads, at(t0), synth.pad_chord(CHORDS[chord], BAR * 1.05, bright), gain)

        if (sec in DROPS and bar % 2 == 0) or (sec == "break" and bar % 2 == 1):
            synth.lead_phrase(lead, t0, BEAT, LEAD, 0.33, transpose=12 if sec == "drop2" else 0,
                              sparse=sec == "break")

    # The siren over the second half of the intro, a blast under each drop.
    add(fx, at(4 * BAR), siren(4 * BAR), 0.25)
    for first in (16, 44):
        add(fx, at(first * BAR), blast(6 * BEAT), 0.8)

    duck = np.ones(LENGTH)
    kicks = [bar * BAR + b * BEAT for bar in range(BARS) if synth.section(SECTIONS, bar)[0] in DROPS for b in range(4)]
    synth.duck_under(duck, kicks, BEAT, 0.08)
    mix = synth.stereo_mix(drums, bass, pads, lead, duck)
    # The siren and the blasts over the mix, a little wider on the right.
    mix[:, 0] += fx
    mix[:, 1] += np.roll(fx, at(0.004))
    mix /= np.max(np.abs(mix)) * 1.1
    synth.fade_tail(mix)
    return mix


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(__file__), "..", "data", "music", "orvenhal-korrin-system-15.mp3")
    synth.write_mp3(render(), out, "Korrin System", 128, artist="Fennock")


if __name__ == "__main__":
    main()
