#!/usr/bin/python3
"""Renders the soundtrack of "Wembrel - tidewell": an original electronic
piece at 128 bpm in A minor, 56 bars (105 s), with an intro, a build, a drop,
a break, a second drop and an outro. Drums, bass, chords and a lead are
synthesised with numpy and the mix is encoded to MP3 with lame.

    tools/make_tidewell.py [output.mp3]

Needs python3-numpy and lame (Debian). The result is deterministic.
"""
import os
import subprocess
import sys
import tempfile
import wave

import numpy as np

RATE = 44100
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

rng = np.random.default_rng(1338)


def section_of(bar):
    for name, first, count in SECTIONS:
        if first <= bar < first + count:
            return name
    return "outro"


def midi_hz(note):
    return 440.0 * 2.0 ** ((note - 69) / 12.0)


def at(seconds):
    return int(round(seconds * RATE))


def add(buffer, start, signal, gain=1.0):
    start = max(0, start)
    end = min(len(buffer), start + len(signal))
    if end > start:
        buffer[start:end] += signal[: end - start] * gain


def envelope(n, attack, release):
    env = np.ones(n)
    a = min(n, max(1, int(attack * RATE)))
    r = min(n - a, max(1, int(release * RATE)))
    env[:a] = np.linspace(0.0, 1.0, a)
    if r > 0:
        env[n - r:] = np.linspace(1.0, 0.0, r)
    return env


def one_pole_lowpass(signal, cutoff):
    """Simple low-pass, cutoff in Hz (array or scalar)."""
    cutoff = np.broadcast_to(np.asarray(cutoff, dtype=float), signal.shape)
    alpha = 1.0 - np.exp(-2.0 * np.pi * cutoff / RATE)
    out = np.empty_like(signal)
    y = 0.0
    for i in range(len(signal)):
        y += alpha[i] * (signal[i] - y)
        out[i] = y
    return out


def saw(freq, n, detune=0.0):
    t = np.arange(n) / RATE
    phase = (t * freq * (1.0 + detune)) % 1.0
    return 2.0 * phase - 1.0


# ---- instruments -------------------------------------------------------

def kick():
    n = at(0.35)
    t = np.arange(n) / RATE
    freq = 45.0 + 110.0 * np.exp(-t * 30.0)
    phase = 2 * np.pi * np.cumsum(freq) / RATE
    return np.sin(phase) * np.exp(-t * 9.0)


def snare():
    n = at(0.25)
    t = np.arange(n) / RATE
    noise = rng.uniform(-1, 1, n) * np.exp(-t * 18.0)
    tone = np.sin(2 * np.pi * 190.0 * t) * np.exp(-t * 25.0)
    return 0.7 * noise + 0.5 * tone


def hat(open_hat=False):
    n = at(0.18 if open_hat else 0.05)
    t = np.arange(n) / RATE
    noise = rng.uniform(-1, 1, n)
    noise = np.diff(noise, prepend=0.0)  # brighten
    return noise * np.exp(-t * (14.0 if open_hat else 70.0)) * 0.5


def bass_note(note, length):
    n = at(length)
    f = midi_hz(note)
    raw = 0.6 * saw(f, n) + 0.4 * saw(f, n, 0.005)
    t = np.arange(n) / RATE
    cutoff = 300.0 + 1500.0 * np.exp(-t * 12.0)
    return np.tanh(1.5 * one_pole_lowpass(raw, cutoff)) * envelope(n, 0.004, 0.03)


def pad_chord(notes, length, brightness):
    n = at(length)
    sig = np.zeros(n)
    for note in notes:
        f = midi_hz(note)
        for d in (-0.004, 0.0, 0.0045):
            sig += saw(f, n, d)
    sig /= 3 * len(notes)
    return one_pole_lowpass(sig, brightness) * envelope(n, 0.25, 0.4)


def lead_note(note, length):
    n = at(length)
    t = np.arange(n) / RATE
    f = midi_hz(note) * (1.0 + 0.004 * np.sin(2 * np.pi * 5.5 * t))
    phase = np.cumsum(f) / RATE
    square = np.sign(np.sin(2 * np.pi * phase)) * 0.5 + np.sin(2 * np.pi * 2 * phase) * 0.3
    return one_pole_lowpass(square, 2500.0) * envelope(n, 0.01, 0.08)


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
    k, s, ch, oh = kick(), snare(), hat(False), hat(True)

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
                add(bass, at(t0 + e * BEAT / 2 + BEAT / 4), bass_note(note, BEAT / 4), 0.8)
        elif sec in ("build", "break"):
            add(bass, at(t0), bass_note(root, BAR * 0.95), 0.5)

        # Chords
        bright = {"intro": 600 + 1200 * progress, "build": 1500 + 2000 * progress,
                  "drop": 3500, "break": 900, "drop2": 4000, "outro": 1500 * (1 - progress) + 300}[sec]
        gain = {"intro": 0.5, "build": 0.5, "drop": 0.35, "break": 0.6, "drop2": 0.35, "outro": 0.5}[sec]
        add(pads, at(t0), pad_chord(CHORDS[chord], BAR * 1.05, bright), gain)

        # Lead: the phrase over two bars in the drops, sparse in the break
        if sec in ("drop", "drop2") or (sec == "break" and bar % 2 == 1):
            if bar % 2 == 0 or sec == "break":
                for step, note, length in LEAD_PHRASE:
                    if sec == "break" and step % 8:
                        continue
                    transpose = 12 if sec == "drop2" else 0
                    add(lead, at(t0 + step * STEP), lead_note(note + transpose, length * STEP), 0.35)

    # Sidechain-style ducking of pads and bass on the drop kicks
    duck = np.ones(LENGTH)
    kicks = [bar * BAR + b * BEAT for bar in range(BARS) if section_of(bar) in ("drop", "drop2") for b in range(4)]
    duck_under(duck, kicks, BEAT, 0.08)
    mix = stereo_mix(drums, bass, pads, lead, duck)
    mix /= np.max(np.abs(mix)) * 1.1
    fade_tail(mix)
    return mix


def duck_under(duck, times, length, release):
    """Sidechain-style: the gain dips to 0.4 at each time (seconds) and
    recovers with `release` seconds, for `length` seconds."""
    n = at(length)
    shape = 1.0 - 0.6 * np.exp(-np.arange(n) / (release * RATE))
    for time in times:
        start = at(time)
        end = min(len(duck), start + n)
        duck[start:end] = shape[: end - start]


def stereo_mix(drums, bass, pads, lead, duck):
    """Left and right: drums and bass in the middle, pads and lead a little
    later on the right for width; pads and bass ducked."""
    left = drums * 0.9 + bass * duck * 0.9 + pads * duck * 0.9 + lead * 0.8
    right = drums * 0.9 + bass * duck * 0.9 + np.roll(pads * duck, at(0.012)) * 0.9 + np.roll(lead, at(0.008)) * 0.8
    return np.stack([left, right], axis=1)


def fade_tail(mix, seconds=1.0):
    tail = at(seconds)
    mix[-tail:] *= np.linspace(1.0, 0.0, tail)[:, None]


def write_mp3(mix, out, title, bitrate, artist="Krestel"):
    """The stereo mix (-1..1) as 16-bit PCM through lame to `out`."""
    pcm = (np.clip(mix, -1, 1) * 32767).astype("<i2")
    with tempfile.TemporaryDirectory() as tmp:
        wav_path = os.path.join(tmp, "mix.wav")
        with wave.open(wav_path, "wb") as w:
            w.setnchannels(2)
            w.setsampwidth(2)
            w.setframerate(RATE)
            w.writeframes(pcm.tobytes())
        os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
        subprocess.run(["lame", "--quiet", "-b", str(bitrate), "--tt", title, "--ta", artist,
                        wav_path, out], check=True)
    print(f"wrote {out}: {len(mix) / RATE:.1f} s")


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(__file__), "..", "data", "music", "Krestel_-_Tidewell.mp3")
    write_mp3(render(), out, "Tidewell", 160)


if __name__ == "__main__":
    main()
