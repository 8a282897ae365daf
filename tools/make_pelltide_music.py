#!/usr/bin/python3
"""Makes the music of "Pelltide" from one note list: a funk groove at 112 bpm
in E minor, 28 bars (about 61 s). Eight bars of drums alone, then the bass
enters with a rising run through its eight keys and plays a riff over the
drums, keys (pad chords) join for the middle, and the drums thin out for the
last bars. The same notes become the MIDI file the scenes read and the
soundtrack that is heard, so picture and sound agree.

    tools/make_pelltide_music.py [output folder]

Writes grovelight_bassintro.mid and grovelight_bassintro.ogg into the folder
(data/music/ by default). The tracks: "Ruff Kit" (drums, General MIDI keys:
36 kick, 37 side stick, 38 ghost snare, 39 clap, 40 snare, 41/43/45 toms, 42
closed, 44 pedal and 46 open hi-hat), "Playfulbass" (eight keys) and
"Keys". Needs python3-numpy and vorbis-tools (oggenc). The synthesis shares
its instruments with the other pieces (tools/synth.py). Deterministic.
"""
import os
import sys

import numpy as np

import synth
from midifile import write_midi

RATE = synth.RATE
BPM = 112.0
BEAT = 60.0 / BPM
STEP = 0.25  # a sixteenth, in beats
BARS = 28
LENGTH_SECONDS = BARS * 4 * BEAT + 1.5  # the last hit rings out

rng = np.random.default_rng(1912)

# ---- the score (beats from the start) -----------------------------------

KICK, STICK, GHOST, CLAP, SNARE, TOM_LOW, HAT, TOM_MID, PEDAL, TOM_HIGH, OPEN = \
    36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46


def drum_notes():
    notes = []

    def hit(bar, step, key, velocity, length=STEP):
        notes.append((bar * 4 + step * STEP, length, key, velocity))

    for bar in range(BARS):
        last = bar == BARS - 1
        outro = bar >= 24
        fill = bar % 4 == 3 and not outro
        if last:
            hit(bar, 0, KICK, 120, 1.0)
            hit(bar, 0, OPEN, 100, 2.0)
            continue
        kicks = (0, 3, 8, 10) if bar % 2 == 0 else (0, 8, 11, 14)
        if bar < 2:
            kicks = (0, 8)
        for s in kicks:
            if not (fill and s >= 12):
                hit(bar, s, KICK, 118 if s in (0, 8) else 96)
        if bar < 2:
            for s in (4, 12):
                hit(bar, s, STICK, 90)
        else:
            hit(bar, 4, SNARE, 112)
            if not fill:
                hit(bar, 12, SNARE, 112)
            if 16 <= bar < 24 and not fill:
                hit(bar, 12, CLAP, 96)
            for s in (7, 15):
                if not (fill and s == 15):
                    hit(bar, s, GHOST, 40)
        if fill:
            for s, key in ((12, TOM_HIGH), (13, TOM_HIGH), (14, TOM_MID), (15, TOM_LOW)):
                hit(bar, s, key, 104)
        # Hats: closed eighths, the pedal on the "and" of one and three, the
        # open one on the "and" of four; the outro keeps the closed ones only.
        for s in range(0, 16, 2):
            if s in (2, 10) and not outro:
                hit(bar, s, PEDAL, 84)
            elif s == 14 and not outro and not fill:
                hit(bar, s, OPEN, 80, 2 * STEP)
            elif not (fill and s >= 12):
                hit(bar, s, HAT, 60 if s % 4 else 76, STEP / 2)
    return held_for_the_picture(notes)


# The shape each drum key lights in the picture: the border frame, the red
# shape, the corner X (the other keys light none).
SHAPE = {KICK: "frame", STICK: "frame", SNARE: "red", TOM_LOW: "red", TOM_HIGH: "red", PEDAL: "x", OPEN: "x"}
# How long before a shape is struck again it lets go (about a frame), and the
# shapes that do: the frame round the picture holds most of its light, so
# its blink would read as the whole picture dropping a frame; it stays lit
# up to its next hit.
BLINK = 1 / 16
BLINKING = ["red", "x"]


def held_for_the_picture(notes):
    """The drums are heard as whole samples whatever their notes' lengths,
    but the picture shows a drum's shape only while a note that lights it is
    held. So a lit hit is held until the next hit that lights the same shape,
    at most a beat: the shapes stay up between hits and fall off on a rest
    instead of flashing for a sixteenth. A hit never gets shorter than it was.

    The red shape and the X, struck again, let go a BLINK before that hit, so
    they blink, but only while another shape stays lit through the blink:
    were every lit shape to let go at once, the whole picture would go black
    for a frame, which reads as a dropped frame, not as a beat. Of the two
    struck again together with nothing else lit, the first of BLINKING stays
    lit and the other blinks."""
    starts = {}
    for start, _, key, _ in notes:
        if key in SHAPE:
            starts.setdefault(SHAPE[key], set()).add(start)
    held = []
    restruck = {}  # beat of a hit struck again -> the notes held up to it
    for start, length, key, velocity in notes:
        if key in SHAPE:
            later = [t for t in starts[SHAPE[key]] if t > start]
            until = min(later) if later else start + length
            if SHAPE[key] in BLINKING and later and length < until - BLINK - start and until - start <= 1.0:
                restruck.setdefault(until, []).append(len(held))
            length = max(length, min(until - start, 1.0))
        held.append([start, length, key, velocity])
    for at, indices in restruck.items():
        shapes = {SHAPE[held[i][2]] for i in indices}
        lit_through = any(key in SHAPE and SHAPE[key] not in shapes and start <= at - BLINK and start + length >= at
                          for start, length, key, _ in held)
        kept = None if lit_through else min(shapes, key=BLINKING.index)
        for i in indices:
            if SHAPE[held[i][2]] != kept:
                held[i][1] = at - BLINK - held[i][0]
    return [tuple(note) for note in held]


# E minor: the bass's eight keys, E G A B D E G A (MIDI 40..57).
BASS_RUN = [40, 43, 45, 47, 50, 52, 55, 57]
# One bar each, (sixteenth step, key, length in steps): Em, G, A, Bm.
BASS_RIFF = [
    [(0, 40, 3), (3, 40, 1), (6, 52, 2), (8, 50, 2), (10, 52, 1), (12, 47, 2), (14, 50, 2)],
    [(0, 43, 3), (3, 43, 1), (6, 55, 2), (8, 52, 2), (10, 50, 2), (12, 47, 2), (14, 45, 2)],
    [(0, 45, 3), (3, 45, 1), (6, 57, 2), (8, 55, 2), (10, 52, 1), (12, 50, 2), (14, 47, 2)],
    [(0, 47, 2), (2, 50, 2), (4, 52, 2), (6, 55, 2), (8, 57, 3), (11, 55, 1), (12, 52, 2), (14, 50, 2)],
]


def bass_notes():
    notes = []
    # The entry: a rising run through every key, so the line's arcs (one per
    # key, in the order each key is first heard) run low to high.
    for i, key in enumerate(BASS_RUN):
        notes.append((8 * 4 + i * 2 * STEP, 1.8 * STEP, key, 100))
    for bar in range(9, 26):
        for step, key, length in BASS_RIFF[bar % 4]:
            notes.append((bar * 4 + step * STEP, length * STEP * 0.9, key, 104 if step % 4 == 0 else 88))
    notes.append((26 * 4, 6.0, 40, 110))  # the last root rings into the end
    return notes


CHORDS = [[52, 55, 59], [55, 59, 62], [57, 61, 64], [54, 59, 62]]


def keys_notes():
    notes = []
    for bar in range(16, 24):
        for key in CHORDS[bar % 4]:
            # Stabs on the "and" of two and four.
            for s in (6, 14):
                notes.append((bar * 4 + s * STEP, 1.5 * STEP, key, 70))
    return notes


# ---- instruments not in synth --------------------------------------------

def side_stick():
    n = synth.at(0.06)
    t = np.arange(n) / RATE
    return (np.sin(2 * np.pi * 1700 * t) * 0.6 + rng.uniform(-1, 1, n) * 0.4) * np.exp(-t * 90)


def clap():
    n = synth.at(0.2)
    t = np.arange(n) / RATE
    bursts = sum(np.exp(-np.maximum(t - d, 0) * 160) * (t >= d) for d in (0.0, 0.011, 0.022))
    tail = np.exp(-t * 22) * 0.4
    noise = np.diff(rng.uniform(-1, 1, n), prepend=0.0)
    return noise * (bursts + tail) * 0.6


def tom(pitch):
    n = synth.at(0.3)
    t = np.arange(n) / RATE
    freq = pitch * (1 + 0.5 * np.exp(-t * 25))
    return np.sin(2 * np.pi * np.cumsum(freq) / RATE) * np.exp(-t * 11)


def electric_piano(notes, length):
    n = synth.at(length + 0.25)
    t = np.arange(n) / RATE
    sig = np.zeros(n)
    for key in notes:
        f = synth.midi_hz(key)
        sig += np.sin(2 * np.pi * f * t + 0.8 * np.sin(2 * np.pi * 2 * f * t) * np.exp(-t * 6))
    return sig / len(notes) * np.exp(-t * 4) * synth.envelope(n, 0.003, 0.2)


# ---- rendering -----------------------------------------------------------

def render(drums, bass, keys):
    length = synth.at(LENGTH_SECONDS)
    drum_bus, bass_bus, keys_bus = np.zeros(length), np.zeros(length), np.zeros(length)
    sounds = {
        KICK: synth.kick(), STICK: side_stick(), GHOST: synth.snare(), CLAP: clap(), SNARE: synth.snare(),
        TOM_LOW: tom(90), HAT: synth.hat(False), TOM_MID: tom(120), PEDAL: synth.hat(False) * 0.8,
        TOM_HIGH: tom(160), OPEN: synth.hat(True),
    }
    for start, _, key, velocity in drums:
        synth.add(drum_bus, synth.at(start * BEAT), sounds[key], (velocity / 127.0) ** 1.5)
    for start, dur, key, velocity in bass:
        synth.add(bass_bus, synth.at(start * BEAT), synth.bass_note(key, dur * BEAT), velocity / 127.0)
    stabs = {}
    for start, dur, key, velocity in keys:
        stabs.setdefault((start, dur), []).append(key)
    for (start, dur), chord in stabs.items():
        synth.add(keys_bus, synth.at(start * BEAT), electric_piano(chord, dur * BEAT), 0.5)

    left = drum_bus + bass_bus * 0.9 + keys_bus * 0.8
    right = drum_bus + bass_bus * 0.9 + np.roll(keys_bus, synth.at(0.011)) * 0.8
    mix = np.stack([left, right], axis=1)
    mix /= np.max(np.abs(mix)) * 1.12
    tail = synth.at(0.5)
    mix[-tail:] *= np.linspace(1.0, 0.0, tail)[:, None]
    return mix


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "data", "music")
    os.makedirs(folder, exist_ok=True)
    drums, bass, keys = drum_notes(), bass_notes(), keys_notes()
    midi = os.path.join(folder, "grovelight_bassintro.mid")
    write_midi(midi, BPM, [("Ruff Kit", drums), ("Playfulbass", bass), ("Keys", keys)], "Grovelight")
    mix = render(drums, bass, keys)
    ogg = os.path.join(folder, "grovelight_bassintro.ogg")
    synth.write_ogg(mix, ogg, "Grovelight (bass intro)", "Orvenhal", quality=3, serial=1912)
    print(f"wrote {midi} and {ogg}: {len(mix) / RATE:.1f} s")


if __name__ == "__main__":
    main()
