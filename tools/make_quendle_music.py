#!/usr/bin/python3
"""Makes the music of "Quendle" from one note list: a chiptune at 155 bpm in
A minor, 58 bars (about 90 s), built for the show's sections:

    bars  0-11  intro: arpeggio alone, then kick and hats, then snare and bass
    bars 12-19  the rotated picture: the full groove
    bars 20-35  the piano: an old vinyl piano plays the chords and a tune
    bars 36-43  the drop: everything, the bleeps start answering
    bars 44-51  the ribbons: the rave bleep leads over the groove
    bars 52-57  coda: piano and arpeggio, a last hit on beat 224

The same notes become the MIDI file the scenes read and the soundtrack
that is heard, so picture and sound agree.

    tools/make_quendle_music.py [output folder]

Writes quendle.mid and quendle.ogg into the folder (data/music/ by
default). Tracks: "Old Vinyl Piano" (keys 36 to 59, the piano scene's
keyboard), "RaveBleep" (four keys, first heard in the order A, C, E, G, which
lights the ribbons 3, 4, 1, 2), "Chip Bass", "Chip Arp" (held chords that
the description's arpeggiator steps through, as the sound does) and
"Chip Kit" (36 kick, 38 snare, 42 hat). Needs python3-numpy and
vorbis-tools (oggenc). Deterministic: fixed seeds, so the same bytes come
out every run.
"""
import os
import sys

import numpy as np

import synth
from midifile import write_midi
from synth import RATE, add, at, midi_hz

BPM = 155.0
BEAT = 60.0 / BPM
BARS = 58
LAST_HIT = 224.0  # beats
LENGTH_SECONDS = BARS * 4 * BEAT + 1.0

rng = np.random.default_rng(155)

KICK, SNARE, HAT = 36, 38, 42
ARP_RATE = 0.25  # beats a step (a sixteenth), as in the description

# A minor: Am, F, C, G, one chord a bar.
PIANO_ROOTS = [45, 41, 36, 43]
PIANO_CHORDS = [[48, 52, 57], [48, 53, 57], [48, 52, 55], [50, 55, 59]]
BASS_ROOTS = [33, 29, 36, 31]
ARP_CHORDS = [[69, 72, 76], [65, 69, 72], [67, 72, 76], [67, 71, 74]]
BLEEPS = [69, 72, 76, 79]


def section(bar):
    for name, first, end in (("intro", 0, 12), ("roto", 12, 20), ("piano", 20, 36), ("drop", 36, 44),
                             ("ribbons", 44, 52), ("coda", 52, BARS)):
        if first <= bar < end:
            return name
    return "coda"


class Part:
    """A track's notes as (start beat, length in beats, key, velocity); a key
    pressed again while it sounds is shortened first, so no key overlaps."""

    def __init__(self):
        self.notes = []

    def add(self, start, length, key, velocity=100):
        for i, (s, l, k, v) in enumerate(self.notes):
            if k != key:
                continue
            if s <= start < s + l:
                if start - s < 0.05:
                    return
                self.notes[i] = (s, start - s - 0.01, k, v)
            elif start < s < start + length:
                length = s - start - 0.01
        self.notes.append((start, length, key, velocity))


# ---- the score (beats from the start) -----------------------------------

def drums():
    part = Part()
    for bar in range(BARS):
        sec, t = section(bar), bar * 4
        if t >= LAST_HIT:
            continue
        if sec == "intro" and bar < 4:
            continue
        kicks = (0, 1, 2, 3) if sec in ("roto", "drop", "ribbons") else (0, 2)
        if sec == "piano":
            kicks = (0, 2.5)
        if sec == "coda":
            kicks = (0,)
        for b in kicks:
            part.add(t + b, 0.25, KICK, 120)
        if (sec == "intro" and bar >= 8) or sec in ("roto", "drop", "ribbons"):
            for b in (1, 3):
                part.add(t + b, 0.25, SNARE, 110)
            if bar % 4 == 3:  # a fill into the next phrase
                for b in (3.5, 3.75):
                    part.add(t + b, 0.2, SNARE, 90)
        elif sec == "piano":
            part.add(t + 3, 0.25, SNARE, 100)
        if sec != "coda":
            for s in range(8):
                part.add(t + s * 0.5, 0.1, HAT, 70 if s % 2 else 50)
    part.add(LAST_HIT, 1.0, KICK, 127)
    part.add(LAST_HIT, 1.0, SNARE, 120)
    return part.notes


def bass():
    part = Part()
    for bar in range(8, BARS):
        sec, t = section(bar), bar * 4
        if t >= LAST_HIT:
            break
        root = BASS_ROOTS[bar % 4]
        if sec == "coda":
            part.add(t, 3.5, root, 100)
            continue
        # Octave-jumping eighths, the chip way.
        for s in range(8):
            key = root + (12 if s % 2 else 0)
            if sec == "piano" and s in (3, 7):
                continue
            part.add(t + s * 0.5, 0.4, key, 110 if s % 2 == 0 else 90)
    part.add(LAST_HIT, 2.0, BASS_ROOTS[0], 120)
    return part.notes


def arp():
    part = Part()
    for bar in range(BARS):
        sec, t = section(bar), bar * 4
        if sec in ("piano",) and bar < 28:
            continue
        if t >= LAST_HIT:
            break
        for key in ARP_CHORDS[bar % 4]:
            part.add(t, 3.9, key, 80)
    return part.notes


def piano():
    part = Part()
    tune = [57, 59, 57, 55, 52, 55, 57, 52, 53, 57, 55, 53, 52, 50, 52, 55]
    for bar in list(range(20, 36)) + list(range(52, BARS)):
        t = bar * 4
        if t >= LAST_HIT + 4:
            break
        root, chord = PIANO_ROOTS[bar % 4], PIANO_CHORDS[bar % 4]
        part.add(t, 1.9, root, 110)
        part.add(t + 2, 1.9, root + 12 if root + 12 <= 59 else root, 90)
        rhythm = ((0, 0.9), (1.5, 0.4), (2, 0.9), (3, 0.4), (3.5, 0.4)) if bar < 52 else ((0, 3.8),)
        for at, length in rhythm:
            for key in chord:
                part.add(t + at, length, key, 85)
        # The tune on top in the second half of the piano's bars.
        if 28 <= bar < 36:
            for i in range(2):
                key = tune[((bar - 28) * 2 + i) % len(tune)]
                part.add(t + 0.5 + 2 * i, 1.0, key, 100)
    return part.notes


def bleeps():
    part = Part()
    # The drop: the first appearance, in the order A, C, E, G, answering on
    # the off-beats of every other bar.
    for bar in range(36, 44):
        if bar % 2 == 1:
            for i, key in enumerate(BLEEPS):
                part.add(bar * 4 + 2.5 + i * 0.25, 0.2, key, 100)
    # The ribbons: the bleep leads, a pattern of eighths over the four keys.
    patterns = [[0, 1, 2, 3, 2, 1, 0, 1], [0, 2, 1, 3, 0, 2, 3, 1], [3, 2, 1, 0, 1, 2, 3, 2],
                [0, 0, 2, 2, 1, 1, 3, 3]]
    for bar in range(44, 52):
        pattern = patterns[bar % 4]
        for s, index in enumerate(pattern):
            if bar % 4 == 3 and s == 7:
                continue
            part.add(bar * 4 + s * 0.5, 0.4, BLEEPS[index], 100)
    return part.notes


def score():
    """Every track in the order of the MIDI file."""
    return [("Old Vinyl Piano", piano()), ("RaveBleep", bleeps()), ("Chip Bass", bass()),
            ("Chip Arp", arp()), ("Chip Kit", drums())]


# ---- instruments ---------------------------------------------------------

def soften(signal):
    """A gentle low-pass (a short moving average) so pulses do not hiss."""
    return np.convolve(signal, np.ones(4) / 4, mode="same")


def pulse(freq, n, duty):
    phase = (np.arange(n) * freq / RATE) % 1.0
    return np.where(phase < duty, 1.0, -1.0)


def decay(n, rate, attack=0.002):
    t = np.arange(n) / RATE
    env = np.exp(-t * rate)
    a = max(1, at(attack))
    env[:a] *= np.linspace(0, 1, min(a, n))
    return env


def release_tail(env, seconds=0.02):
    r = min(len(env), at(seconds))
    env[-r:] *= np.linspace(1, 0, r)
    return env


def chip_noise(n, hold):
    """Sample-and-hold noise, the noise channel of an old sound chip."""
    values = rng.uniform(-1, 1, n // hold + 2)
    return np.repeat(values, hold)[:n]


def kick():
    n = at(0.22)
    t = np.arange(n) / RATE
    freq = 50 + 180 * np.exp(-t * 40)
    return np.sign(np.sin(2 * np.pi * np.cumsum(freq) / RATE)) * 0.6 * np.exp(-t * 16) + \
        np.sin(2 * np.pi * np.cumsum(freq) / RATE) * 0.5 * np.exp(-t * 12)


def snare():
    n = at(0.2)
    t = np.arange(n) / RATE
    return chip_noise(n, 3) * np.exp(-t * 18) * 0.8 + pulse(200, n, 0.5) * np.exp(-t * 40) * 0.3


def hat():
    n = at(0.05)
    t = np.arange(n) / RATE
    return chip_noise(n, 1) * np.exp(-t * 80) * 0.4


def bass_note(key, seconds):
    n = at(seconds)
    return soften(pulse(midi_hz(key), n, 0.25)) * release_tail(decay(n, 3.0))


def arp_note(key, seconds):
    n = at(seconds)
    return soften(pulse(midi_hz(key), n, 0.125)) * release_tail(decay(n, 8.0), 0.005)


def bleep(key, seconds):
    n = at(seconds)
    t = np.arange(n) / RATE
    freq = midi_hz(key) * (1 + 0.5 * np.exp(-t * 60))  # a blip up into the note
    phase = np.cumsum(freq) / RATE
    return soften(np.where(phase % 1.0 < 0.5, 1.0, -1.0)) * release_tail(decay(n, 6.0), 0.01)


def vinyl_piano(key, seconds):
    """A piano from a worn record: a few slightly stretched partials dying
    away, a slow wobble of the turntable."""
    n = at(seconds + 0.4)
    t = np.arange(n) / RATE
    f = midi_hz(key) * (1 + 0.003 * np.sin(2 * np.pi * 0.7 * t))
    sig = np.zeros(n)
    for k, amp in ((1, 1.0), (2, 0.45), (3, 0.25), (4, 0.12), (5, 0.06)):
        sig += amp * np.sin(2 * np.pi * np.cumsum(f * k * (1 + 0.0008 * k * k)) / RATE) * np.exp(-t * (2.5 + k))
    env = decay(n, 1.2, 0.003)
    held = at(seconds)
    env[held:] *= np.exp(-np.arange(n - held) / RATE * 14)
    return sig * env * 0.5


def crackle(n):
    """The record's dust: sparse clicks and a faint hiss."""
    clicks = (rng.uniform(0, 1, n) > 0.9996) * rng.uniform(-1, 1, n)
    return clicks * 0.3 + rng.uniform(-1, 1, n) * 0.004


def arp_events(notes):
    """The arpeggio as it sounds: while keys are held, one of them at a time,
    stepping up and down through them in the order the track first heard
    them, one step every ARP_RATE beats from the latest press or release."""
    order = []
    for start, _, key, _ in sorted(notes):
        if key not in order:
            order.append(key)
    times = sorted({s for s, _, _, _ in notes} | {s + l for s, l, _, _ in notes})
    events = []
    for a, b in zip(times, times[1:]):
        held = [k for k in order if any(s <= a < s + l for s, l, kk, _ in notes if kk == k)]
        if not held:
            continue
        period = max(1, 2 * len(held) - 2)
        step = 0
        beat = a
        while beat < b - 1e-6:
            k = step % period if len(held) > 1 else 0
            if k >= len(held):
                k = 2 * len(held) - 2 - k
            events.append((beat, min(ARP_RATE, b - beat), held[k]))
            step += 1
            beat += ARP_RATE
    return events


# ---- rendering -----------------------------------------------------------

def render(tracks):
    length = at(LENGTH_SECONDS)
    drum_bus, bass_bus, arp_bus, piano_bus, bleep_bus = (np.zeros(length) for _ in range(5))
    sounds = {KICK: kick(), SNARE: snare(), HAT: hat()}
    notes = dict(tracks)
    for start, _, key, velocity in notes["Chip Kit"]:
        add(drum_bus, at(start * BEAT), sounds[key], (velocity / 127.0) ** 1.5)
    for start, length_beats, key, velocity in notes["Chip Bass"]:
        add(bass_bus, at(start * BEAT), bass_note(key, length_beats * BEAT), velocity / 127.0)
    for start, length_beats, key in arp_events(notes["Chip Arp"]):
        add(arp_bus, at(start * BEAT), arp_note(key, length_beats * BEAT), 0.6)
    for start, length_beats, key, velocity in notes["Old Vinyl Piano"]:
        add(piano_bus, at(start * BEAT), vinyl_piano(key, length_beats * BEAT), velocity / 127.0)
    for start, length_beats, key, velocity in notes["RaveBleep"]:
        add(bleep_bus, at(start * BEAT), bleep(key, length_beats * BEAT), velocity / 127.0)
    piano_bus += crackle(length) * (np.abs(piano_bus) > 1e-3).astype(float)

    left = drum_bus * 0.9 + bass_bus * 0.5 + arp_bus * 0.32 + piano_bus * 0.7 + bleep_bus * 0.3
    right = drum_bus * 0.9 + bass_bus * 0.5 + np.roll(arp_bus, at(0.012)) * 0.32 + piano_bus * 0.7 + \
        np.roll(bleep_bus, at(0.009)) * 0.3
    mix = np.stack([left, right], axis=1)
    mix /= np.max(np.abs(mix)) * 1.1
    tail = at(0.5)
    mix[-tail:] *= np.linspace(1.0, 0.0, tail)[:, None]
    return mix


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "data", "music")
    os.makedirs(folder, exist_ok=True)
    tracks = score()
    midi = os.path.join(folder, "quendle.mid")
    write_midi(midi, BPM, tracks, "Quendle")
    mix = render(tracks)
    ogg = os.path.join(folder, "quendle.ogg")
    synth.write_ogg(mix, ogg, "Quendle", "Orvenhal", quality=2, serial=155)
    print(f"wrote {midi} and {ogg}: {len(mix) / RATE:.1f} s")


if __name__ == "__main__":
    main()
