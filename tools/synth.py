#!/usr/bin/python3
"""The synthesis the soundtrack scripts share: placing sounds in a buffer,
envelopes and filters, the instruments of the electronic pieces (kick,
snare, hats, bass, pads, lead), the bars they play them in, their mix, and
writing a mix out as WAV, MP3 (lame) or Ogg Vorbis (oggenc). Everything at RATE samples a second;
signals are numpy arrays of floats, a stereo mix one of (samples, 2) in
-1..1.

    import synth
    k = synth.kick()
    synth.add(drums, synth.at(seconds), k, 0.8)

The noise of the snare and the hats comes from the one generator seeded
here, drawn in the order a script makes its sounds, so each script writes
the same sound every run. Needs python3-numpy.
"""
import collections
import os
import subprocess
import tempfile
import wave

import numpy as np

RATE = 44100

rng = np.random.default_rng(1338)


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


# ---- the electronic pieces' patterns -----------------------------------

def section(sections, bar):
    """The section of `sections` ((name, first bar, bar count), ...) that
    holds `bar`, and how far into it the bar is (0 at its first bar); after
    the last, ("outro", 1.0)."""
    for name, first, count in sections:
        if first <= bar < first + count:
            return name, (bar - first) / count
    return "outro", 1.0


Kit = collections.namedtuple("Kit", "kick snare closed opened")


def kit():
    """The drum sounds of the patterns below, made in this order (the order
    their noise is drawn in): kick, snare, closed and open hat."""
    return Kit(kick(), snare(), hat(False), hat(True))


def drop_beat(drums, t0, beat, sounds, hat_gain):
    """A bar of a drop from `t0` seconds, `beat` seconds a beat: a kick on
    every beat, the snare on two and four, hats on every sixteenth with the
    open one between the beats."""
    step = beat / 4
    for b in range(4):
        add(drums, at(t0 + b * beat), sounds.kick, 1.0)
    for b in (1, 3):
        add(drums, at(t0 + b * beat), sounds.snare, 0.6)
    for st in range(16):
        add(drums, at(t0 + st * step), sounds.opened if st % 4 == 2 else sounds.closed, hat_gain)


def build_beat(drums, t0, beat, sounds, progress):
    """A bar of a build, `progress` (0..1) into it: a kick on every beat, a
    snare roll over the second half of the bar that doubles its rate and
    grows louder as the build goes on, closed hats on the eighths."""
    bar, step = 4 * beat, beat / 4
    for b in range(4):
        add(drums, at(t0 + b * beat), sounds.kick, 0.8)
    rate = 2 if progress < 0.5 else (4 if progress < 0.875 else 8)
    for i in range(4 * rate // 2, 4 * rate):
        add(drums, at(t0 + i * bar / (4 * rate)), sounds.snare, 0.25 + 0.4 * progress)
    for st in range(0, 16, 2):
        add(drums, at(t0 + st * step), sounds.closed, 0.4)


def outro_beat(drums, t0, beat, sounds, progress):
    """A bar of an outro, `progress` (0..1) into it: kicks on the beats
    through its first half, closed hats on the beats, both fading out."""
    step = beat / 4
    if progress < 0.5:
        for b in range(4):
            add(drums, at(t0 + b * beat), sounds.kick, 0.8 * (1 - progress))
    for st in range(0, 16, 4):
        add(drums, at(t0 + st * step), sounds.closed, 0.3 * (1 - progress))


def offbeat_bass(bass, t0, beat, root):
    """A bar of bass between the kicks: eighths off the beat on `root`, every
    fourth an octave up."""
    for e in range(8):
        note = root + (12 if e % 4 == 3 else 0)
        add(bass, at(t0 + e * beat / 2 + beat / 4), bass_note(note, beat / 4), 0.8)


def lead_phrase(lead, t0, beat, phrase, gain, transpose=0, sparse=False):
    """The lead's `phrase` ((sixteenth step, note, length in steps), ...)
    from `t0`, moved by `transpose` semitones; sparse: only its notes on the
    half bars."""
    step = beat / 4
    for st, note, length in phrase:
        if sparse and st % 8:
            continue
        add(lead, at(t0 + st * step), lead_note(note + transpose, length * step), gain)


# ---- the mix -----------------------------------------------------------

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


# ---- writing -----------------------------------------------------------

def write_wav(mix, path):
    """The stereo mix (-1..1) as 16-bit PCM."""
    pcm = (np.clip(mix, -1, 1) * 32767).astype("<i2")
    with wave.open(path, "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(pcm.tobytes())


def write_mp3(mix, out, title, bitrate, artist="Krestel"):
    """The stereo mix (-1..1) as 16-bit PCM through lame to `out`."""
    with tempfile.TemporaryDirectory() as tmp:
        wav_path = os.path.join(tmp, "mix.wav")
        write_wav(mix, wav_path)
        os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
        subprocess.run(["lame", "--quiet", "-b", str(bitrate), "--tt", title, "--ta", artist,
                        wav_path, out], check=True)
    print(f"wrote {out}: {len(mix) / RATE:.1f} s")


def write_ogg(mix, out, title, artist, quality, serial):
    """The stereo mix (-1..1) as 16-bit PCM through oggenc to `out`; a fixed
    stream serial number, so the same mix gives the same bytes."""
    with tempfile.TemporaryDirectory() as tmp:
        wav_path = os.path.join(tmp, "mix.wav")
        write_wav(mix, wav_path)
        subprocess.run(["oggenc", "--quiet", "-q", str(quality), "--serial", str(serial), "-t", title,
                        "-a", artist, "-o", out, wav_path], check=True)
