#!/usr/bin/python3
"""Scores a recording of a show ("Get avi" parts) section by section, as a
viewer would judge it, and writes a contact sheet to look at.

    tools/score_recording.py <production | timeline.txt> <recording>... [options]

<production> is the name of a row of src/system/productions.cpp ("brisken"):
its timeline is data/productions/<name>/timeline.txt, its tempo the row's (or,
for a row without one, the tempo of its music's notes). With a timeline file
instead, give the tempo with --bpm. <recording> is the recording's parts in
order ("Wembrel - brisken.01.avi" ...) or the folder that holds them (every
"*.NN.avi" in it, in order).

The sections are the spans between the keys of the scene tracks
("ActiveScene1st" ... "ActiveScene4rd") where the set of drawn scenes changes,
named by the scenes' classes (an overlay in brackets). For each section, and
for the whole show, it prints:

    black   share of near-black frames (mean luma below 8 of 255)
    run     the longest run of near-black frames, in seconds
    burnt   share of burnt pixels (255 in all three channels), over all frames
    lit     share of lit pixels (luma at or above --lit, 32 by default)
    cx, cy  the centroid of the lit pixels weighted by their luma, 0..1 from
            the left and the top (0.5, 0.5 is the middle of the frame)
    rim     share of the lit light that falls in the frame's outer band
            (5 % of each side; the band is 19 % of the frame, so an even
            picture reads 0.19 and a subject cut by the edges reads high)
    diff    mean luma change from the previous frame, in levels of 255,
            over 2x2 blocks (a fine pattern moving by a pixel, such as
            scanlines, keeps each block's mean and reads as little change)
    beat    beat response: the mean frame change in the frames that start
            a beat (the first eighth of a beat, at least one frame and a
            half) over that in the frames between beats (from 3/8 to 7/8 of
            a beat, at least a tenth of a level); 1 is no response, 2 means
            the picture moves twice as much on the beat
Luma is 0.299 R + 0.587 G + 0.114 B. Frame n of a recording shows the show
at n / fps seconds.

Options:
    --sheet FILE       the contact sheet (PNG): a frame every --every seconds
                       (2 by default), each labelled with its time, beat and
                       section; --thumb W gives the width of a picture (240),
                       --columns N the pictures a row (8)
    --at T,T,...       also write these frames whole as PNG files into
                       --frames DIR (T in seconds, or in beats with a "b"
                       suffix: "12.5", "40b")
    --json FILE        the figures as JSON, for --table
    --bpm N            the tempo (beats a minute) for a timeline file
    --timeline FILE    with a production: its sections from this timeline
                       instead of its own (a recording of a draft)
    --split T,T,...    also cut sections at these times (as for --at), where
                       the music changes but the scenes do not
    --lit N            the luma at which a pixel counts as lit (32)
    --table A.json B.json
                       instead of scoring: a before/after table of two scores
                       in Markdown, a row a section and figure

Needs numpy and PIL (tools/authoring-packages.txt). Reading a show of 150 s
at 640x360 takes about a minute.
"""
import argparse
import glob
import json
import os
import re
import struct
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
ROWS_PER_BEAT = 8
SCENE_TRACKS = ["ActiveScene1st", "ActiveScene2nd", "ActiveScene3rd", "ActiveScene4rd"]
SCENE_DEFAULTS = [0.0, -1.0, -1.0, -1.0]
BLACK_LUMA = 8.0
RIM = 0.05


# --- the production: timeline, tempo, scene names ---------------------------------------

def parse_timeline(text):
    """{track: [(row, value), ...]} of the timeline text (the keys' shapes
    do not matter here: the scene tracks are read as steps)."""
    tracks = {}
    for number, line in enumerate(text.splitlines(), 1):
        line = line.split("#", 1)[0].split()
        if not line:
            continue
        keys = tracks.setdefault(line[0], [])
        if len(line) == 1:
            continue
        if len(line) < 3:
            raise ValueError("line %d: a key needs a position and a value" % number)
        position = line[1]
        if position.endswith("b"):
            row = float(position[:-1]) * ROWS_PER_BEAT
        else:
            row = float(position)
        keys.append((row, float(line[2])))
    for keys in tracks.values():
        keys.sort(key=lambda k: k[0])
    return tracks


def value_at(keys, row, default):
    """A track's value at `row`, as a step: the last key at or before it."""
    value = default
    for key_row, key_value in keys:
        if key_row > row:
            break
        value = key_value
    return value


def scene_index(value, count):
    """The scene a track value names, or -1 for none (negative, past the
    list, or not a number)."""
    if value != value or value < 0:
        return -1
    index = int(value)
    return index if count is None or index < count else -1


def production_rows(source):
    """{name: {"bpm", "music", "scenes"}} read from the production table."""
    rows = {}
    pattern = re.compile(
        r'\{\s*\d+\s*,\s*"([^"]+)"\s*,\s*(nullptr|"[^"]*")\s*,\s*(nullptr|"[^"]*")\s*,\s*(nullptr|"[^"]*")'
        r'\s*,\s*-?\d+\s*,\s*-?\d+\s*,\s*([0-9.]+)f?\s*,\s*\{([^}]*)\}', re.S)
    for m in pattern.finditer(source):
        music = m.group(3).strip('"') if m.group(3) != "nullptr" else ""
        rows[m.group(1)] = {"bpm": float(m.group(5)), "music": music,
                            "scenes": re.findall(r'"([^"]+)"', m.group(6))}
    return rows


def midi_tempo(path):
    """The first tempo of a Standard MIDI File, in beats a minute."""
    with open(path, "rb") as f:
        data = f.read()
    at = data.find(b"\xff\x51\x03")
    if at < 0:
        return 120.0  # the file format's default
    microseconds = (data[at + 3] << 16) | (data[at + 4] << 8) | data[at + 5]
    return 60e6 / microseconds


def music_tempo(music):
    """The tempo of a music description whose notes come from a MIDI file."""
    path = os.path.join(ROOT, music)
    with open(path, encoding="utf-8") as f:
        m = re.search(r'notedata_filename="([^"]+\.mid)"', f.read())
    if not m:
        raise ValueError("%s: no MIDI notes to take the tempo from; give --bpm" % music)
    return midi_tempo(os.path.join(os.path.dirname(path), m.group(1)))


def load_production(what, bpm, timeline=None):
    """(timeline tracks, tempo, scene names or None, label); `timeline`, a
    file, stands in for the production's own."""
    if os.path.isfile(what):
        with open(what, encoding="utf-8") as f:
            tracks = parse_timeline(f.read())
        scenes = None
        label = what
    else:
        with open(os.path.join(ROOT, "src/system/productions.cpp"), encoding="utf-8") as f:
            rows = production_rows(f.read())
        if what not in rows:
            raise ValueError("no production \"%s\" (there are: %s)" % (what, ", ".join(sorted(rows))))
        row = rows[what]
        with open(timeline or os.path.join(ROOT, "data/productions", what, "timeline.txt"), encoding="utf-8") as f:
            tracks = parse_timeline(f.read())
        scenes = row["scenes"]
        label = what
        if bpm is None and row["bpm"] > 0:
            bpm = row["bpm"]
        if bpm is None and row["music"].endswith(".xml"):
            bpm = music_tempo(row["music"])
    if bpm is None and tracks.get("bpm"):
        bpm = tracks["bpm"][0][1]
    if not bpm or bpm <= 0:
        raise ValueError("no tempo for %s; give --bpm" % what)
    return tracks, bpm, scenes, label


def sections(tracks, scenes, bpm, end_seconds, splits=()):
    """[(start s, end s, name)]: the spans over which the drawn scenes stay
    the same, up to the end of the recording, cut also at the times of
    `splits` (seconds)."""
    count = len(scenes) if scenes else None
    seconds_per_row = 60.0 / bpm / ROWS_PER_BEAT
    cuts = {s / seconds_per_row for s in splits}
    rows = sorted({0.0} | cuts | {row for name in SCENE_TRACKS for row, _ in tracks.get(name, [])})

    def drawn(row):
        return tuple(scene_index(value_at(tracks.get(name, []), row, default), count)
                     for name, default in zip(SCENE_TRACKS, SCENE_DEFAULTS))

    def name(state):
        def scene(i):
            return scenes[i] if scenes else str(i)
        main = "+".join(scene(i) for i in state[:3] if i >= 0) or "nothing"
        return main + ("".join(" [%s]" % scene(state[3])) if state[3] >= 0 else "")

    spans = []
    for row in rows:
        start = row * seconds_per_row
        if start >= end_seconds:
            break
        state = drawn(row)
        if spans and spans[-1][2] == state and row not in cuts:
            continue
        if spans and start <= spans[-1][0]:
            spans[-1] = (spans[-1][0], None, state)
            continue
        spans.append((start, None, state))
    out = []
    for i, (start, _, state) in enumerate(spans):
        end = spans[i + 1][0] if i + 1 < len(spans) else end_seconds
        out.append((start, end, name(state)))
    return out


# --- reading the recording ---------------------------------------------------------------

class AviPart:
    """The video frames of an uncompressed AVI file (24-bit, bottom-up or
    top-down rows padded to 4 bytes), read one at a time."""

    def __init__(self, path):
        self.path = path
        self.file = open(path, "rb")
        self.offsets = []
        self.width = self.height = 0
        self.fps = 0.0
        self.bottom_up = True
        self._streams = 0
        self._stream_type = None
        self._video = None
        riff, size, kind = struct.unpack("<4sI4s", self.file.read(12))
        if riff != b"RIFF" or kind != b"AVI ":
            raise ValueError("%s: not an AVI file" % path)
        self._walk(12, 8 + size)
        if not self.width or not self.fps:
            raise ValueError("%s: no video stream header" % path)
        self.stride = (self.width * 3 + 3) & ~3

    def _walk(self, start, end):
        """Reads the chunks from `start` to `end`, descending into lists: the
        first video stream's rate and frame format, and where its frames are."""
        at = start
        while at + 8 <= end:
            self.file.seek(at)
            header = self.file.read(8)
            if len(header) < 8:
                break
            fourcc, size = struct.unpack("<4sI", header)
            body = at + 8
            if fourcc == b"LIST":
                self._walk(body + 4, min(end, body + size))
            elif fourcc == b"strh":
                data = self.file.read(size)
                self._streams += 1
                self._stream_type = data[:4]
                if data[:4] == b"vids" and self._video is None:
                    scale, rate = struct.unpack("<II", data[20:28])
                    self.fps = rate / scale if scale else 0.0
                    self._video = b"%02d" % (self._streams - 1)
            elif fourcc == b"strf" and self._stream_type == b"vids" and not self.width:
                data = self.file.read(size)
                width, height, _, bits = struct.unpack("<iiHH", data[4:16])
                if bits != 24:
                    raise ValueError("%s: %d-bit frames; only 24-bit frames are read" % (self.path, bits))
                self.width, self.height, self.bottom_up = width, abs(height), height > 0
            elif self._video is not None and fourcc[:2] == self._video and fourcc[2:] in (b"db", b"dc") \
                    and size > 0:
                self.offsets.append(body)
            at = body + size + (size & 1)

    def frame(self, index):
        """Frame `index` as an array of height x width x 3 (RGB, top row first)."""
        self.file.seek(self.offsets[index])
        data = self.file.read(self.stride * self.height)
        rows = np.frombuffer(data, np.uint8).reshape(self.height, self.stride)[:, :self.width * 3]
        bgr = rows.reshape(self.height, self.width, 3)
        if self.bottom_up:
            bgr = bgr[::-1]
        return bgr[:, :, ::-1]

    def __len__(self):
        return len(self.offsets)


class Recording:
    """The parts of a recording as one sequence of frames."""

    def __init__(self, paths):
        files = []
        for path in paths:
            if os.path.isdir(path):
                found = sorted(glob.glob(os.path.join(glob.escape(path), "*.[0-9][0-9].avi")))
                if not found:
                    raise ValueError("%s: no recording parts (*.01.avi ...) in it" % path)
                files += found
            else:
                files.append(path)
        self.parts = [AviPart(p) for p in files]
        first = self.parts[0]
        for part in self.parts[1:]:
            if (part.width, part.height) != (first.width, first.height):
                raise ValueError("%s: a size other than the first part's" % part.path)
        self.width, self.height, self.fps = first.width, first.height, first.fps
        self.count = sum(len(p) for p in self.parts)

    def frames(self):
        for part in self.parts:
            for i in range(len(part)):
                yield part.frame(i)

    def frame(self, index):
        for part in self.parts:
            if index < len(part):
                return part.frame(index)
            index -= len(part)
        raise IndexError(index)


# --- measuring -------------------------------------------------------------------------

def luma_of(rgb):
    return rgb[:, :, 0] * np.float32(0.299) + rgb[:, :, 1] * np.float32(0.587) + rgb[:, :, 2] * np.float32(0.114)


def block_means(luma):
    """The picture at half size, each pixel the mean of a 2x2 block (an odd
    last row or column is left out). Scanlines or a dither that move by a
    pixel keep each block's mean, as they keep what the eye sees; a pixel
    taken from every block instead would read their whole swing as change."""
    h, w = luma.shape
    if h < 2 or w < 2:
        return luma
    h2, w2 = h // 2, w // 2
    return luma[:h2 * 2, :w2 * 2].reshape(h2, 2, w2, 2).mean(axis=(1, 3))


def measure(recording, lit_level):
    """Per-frame figures as arrays: mean luma, burnt share, lit share, lit
    light's centroid (x, y), rim share, change from the previous frame."""
    n = recording.count
    h, w = recording.height, recording.width
    figures = {k: np.zeros(n, np.float64) for k in ("luma", "burnt", "lit", "cx", "cy", "rim", "diff")}
    ys = (np.arange(h, dtype=np.float32) + 0.5) / h
    xs = (np.arange(w, dtype=np.float32) + 0.5) / w
    band = np.ones((h, w), bool)
    bh, bw = max(1, round(h * RIM)), max(1, round(w * RIM))
    band[bh:h - bh, bw:w - bw] = False
    previous = None
    for i, rgb in enumerate(recording.frames()):
        luma = luma_of(rgb)
        figures["luma"][i] = luma.mean()
        figures["burnt"][i] = np.count_nonzero(np.all(rgb == 255, axis=2)) / (h * w)
        lit = np.where(luma >= lit_level, luma, np.float32(0))
        total = float(lit.sum())
        figures["lit"][i] = np.count_nonzero(lit) / (h * w)
        if total > 0:
            figures["cx"][i] = float(lit.sum(axis=0) @ xs) / total
            figures["cy"][i] = float(lit.sum(axis=1) @ ys) / total
            figures["rim"][i] = float(lit[band].sum()) / total
        else:
            figures["cx"][i] = figures["cy"][i] = figures["rim"][i] = np.nan
        small = block_means(luma)
        figures["diff"][i] = 0.0 if previous is None else float(np.abs(small - previous).mean())
        previous = small
    return figures


def longest_run(flags):
    best = run = 0
    for flag in flags:
        run = run + 1 if flag else 0
        best = max(best, run)
    return best


def beat_windows(count, fps, bpm):
    """Boolean arrays over the frames: those that start a beat, and those
    between beats. A frame's change is from the frame before it, so frame n
    holds what happened in the frame's time before n / fps."""
    beats = np.arange(count) / fps * bpm / 60.0
    phase = beats - np.floor(beats)
    onset = max(0.125, 1.5 * bpm / 60.0 / fps)
    on = phase < onset
    on[0] = False  # the first frame has nothing to differ from
    between = (phase >= 0.375) & (phase < 0.875)
    return on, between


def summarise(figures, frames, on, between, fps):
    """The figures of the frames selected by the boolean array `frames`."""
    count = int(np.count_nonzero(frames))
    if count == 0:
        return None
    black = figures["luma"][frames] < BLACK_LUMA
    lit_frames = frames & ~np.isnan(figures["cx"])
    weights = figures["lit"][lit_frames]

    def lit_mean(key):
        if not np.any(lit_frames) or weights.sum() == 0:
            return None
        return float(np.average(figures[key][lit_frames], weights=weights))

    on_diff = figures["diff"][frames & on]
    between_diff = figures["diff"][frames & between]
    on_mean = float(on_diff.mean()) if on_diff.size else None
    between_mean = float(between_diff.mean()) if between_diff.size else None
    # A still picture between beats counts as changing by a tenth of a level,
    # so that a picture that moves only on the beat scores high, not infinite.
    beat = None if on_mean is None or between_mean is None else on_mean / max(between_mean, 0.1)
    return {
        "frames": count,
        "black": float(black.mean()),
        "run": longest_run(black) / fps,
        "burnt": float(figures["burnt"][frames].mean()),
        "lit": float(figures["lit"][frames].mean()),
        "cx": lit_mean("cx"),
        "cy": lit_mean("cy"),
        "rim": lit_mean("rim"),
        "diff": float(figures["diff"][frames].mean()),
        "on": on_mean,
        "between": between_mean,
        "beat": beat,
    }


def score(recording, spans, bpm, lit_level):
    figures = measure(recording, lit_level)
    n = recording.count
    times = np.arange(n) / recording.fps
    on, between = beat_windows(n, recording.fps, bpm)
    rows = []
    for start, end, name in spans:
        frames = (times >= start - 1e-9) & (times < end - 1e-9)
        figure = summarise(figures, frames, on, between, recording.fps)
        if figure:
            rows.append(dict(figure, start=start, end=end, name=name))
    whole = summarise(figures, np.ones(n, bool), on, between, recording.fps)
    return rows, dict(whole, start=0.0, end=n / recording.fps, name="whole show"), figures


# --- printing --------------------------------------------------------------------------

COLUMNS = [("black", "black", "{:.0%}"), ("run", "run s", "{:.1f}"), ("burnt", "burnt", "{:.2%}"),
           ("lit", "lit", "{:.0%}"), ("cx", "cx", "{:.2f}"), ("cy", "cy", "{:.2f}"),
           ("rim", "rim", "{:.2f}"), ("diff", "diff", "{:.1f}"), ("beat", "beat", "{:.2f}")]


def cell(value, form):
    if value is None:
        return "-"
    return form.format(value)


def print_table(rows, whole, out=sys.stdout):
    head = "%-13s %-32s" % ("seconds", "section") + "".join("%8s" % c[1] for c in COLUMNS)
    print(head, file=out)
    for row in rows + [whole]:
        line = "%-13s %-32s" % ("%.1f-%.1f" % (row["start"], row["end"]), row["name"][:32])
        line += "".join("%8s" % cell(row[key], form) for key, _, form in COLUMNS)
        print(line, file=out)


def print_comparison(before, after, out=sys.stdout):
    """A Markdown table: a row a section of `after`, each figure as
    before -> after (the section of `before` that starts at the same time,
    else the one that covers that time)."""
    def match(row):
        for b in before["sections"]:
            if abs(b["start"] - row["start"]) < 0.05 and b["name"] == row["name"]:
                return b
        for b in before["sections"]:
            if b["start"] <= row["start"] + 0.05 < b["end"]:
                return b
        return None
    print("| seconds | section | " + " | ".join(c[1] for c in COLUMNS) + " |", file=out)
    print("|---|---|" + "---|" * len(COLUMNS), file=out)
    for row in after["sections"] + [after["whole"]]:
        old = before["whole"] if row is after["whole"] else match(row)
        cells = []
        for key, _, form in COLUMNS:
            was = cell(old[key], form) if old else "-"
            now = cell(row[key], form)
            cells.append(now if was == now else "%s → %s" % (was, now))
        print("| %.1f-%.1f | %s | %s |" % (row["start"], row["end"], row["name"], " | ".join(cells)), file=out)


# --- pictures --------------------------------------------------------------------------

def section_at(spans, seconds):
    for start, end, name in spans:
        if start <= seconds < end:
            return name
    return ""


def contact_sheet(recording, spans, bpm, every, thumb, columns, path):
    times = np.arange(0.0, recording.count / recording.fps, every)
    th = max(1, round(thumb * recording.height / recording.width))
    label = 26
    rows = (len(times) + columns - 1) // columns
    sheet = Image.new("RGB", (columns * (thumb + 4) + 4, rows * (th + label + 4) + 4), (48, 48, 48))
    draw = ImageDraw.Draw(sheet)
    font = ImageFont.load_default()
    for k, t in enumerate(times):
        index = min(recording.count - 1, int(round(t * recording.fps)))
        picture = Image.fromarray(np.ascontiguousarray(recording.frame(index))).resize((thumb, th), Image.BILINEAR)
        x = 4 + (k % columns) * (thumb + 4)
        y = 4 + (k // columns) * (th + label + 4)
        sheet.paste(picture, (x, y))
        draw.text((x + 2, y + th + 1), "%.1f s  beat %.1f" % (t, t * bpm / 60.0), fill=(255, 255, 255), font=font)
        draw.text((x + 2, y + th + 13), section_at(spans, t)[:thumb // 6], fill=(190, 190, 190), font=font)
    sheet.save(path)


def parse_time(text, bpm):
    text = text.strip()
    if text.endswith("b"):
        return float(text[:-1]) * 60.0 / bpm
    return float(text)


def write_frames(recording, bpm, at, folder):
    os.makedirs(folder, exist_ok=True)
    for text in at.split(","):
        seconds = parse_time(text, bpm)
        index = min(recording.count - 1, max(0, int(round(seconds * recording.fps))))
        path = os.path.join(folder, "frame-%07.2fs.png" % (index / recording.fps))
        Image.fromarray(np.ascontiguousarray(recording.frame(index))).save(path)
        print("wrote %s" % path)


# --- the command -----------------------------------------------------------------------

def main(argv):
    parser = argparse.ArgumentParser(description="Scores a recording of a show section by section.")
    parser.add_argument("production", nargs="?", help="a production's name or a timeline file")
    parser.add_argument("recording", nargs="*", help="the recording's parts in order, or their folder")
    parser.add_argument("--bpm", type=float)
    parser.add_argument("--lit", type=float, default=32.0)
    parser.add_argument("--sheet")
    parser.add_argument("--every", type=float, default=2.0)
    parser.add_argument("--thumb", type=int, default=240)
    parser.add_argument("--columns", type=int, default=8)
    parser.add_argument("--timeline")
    parser.add_argument("--split")
    parser.add_argument("--at")
    parser.add_argument("--frames")
    parser.add_argument("--json")
    parser.add_argument("--table", nargs=2, metavar=("BEFORE", "AFTER"))
    args = parser.parse_args(argv)
    try:
        if args.table:
            with open(args.table[0], encoding="utf-8") as f:
                before = json.load(f)
            with open(args.table[1], encoding="utf-8") as f:
                after = json.load(f)
            print_comparison(before, after)
            return 0
        if not args.production or not args.recording:
            parser.error("give a production (or a timeline file) and the recording")
        if args.at and not args.frames:
            parser.error("--at needs --frames DIR")
        tracks, bpm, scenes, label = load_production(args.production, args.bpm, args.timeline)
        recording = Recording(args.recording)
        if recording.count == 0:
            raise ValueError("the recording holds no frames")
        length = recording.count / recording.fps
        splits = [parse_time(t, bpm) for t in args.split.split(",")] if args.split else []
        spans = sections(tracks, scenes, bpm, length, splits)
        print("%s: %d frames of %dx%d at %g fps (%.1f s), %g bpm" %
              (label, recording.count, recording.width, recording.height, recording.fps, length, bpm))
        rows, whole, _ = score(recording, spans, bpm, args.lit)
        print_table(rows, whole)
        if args.json:
            with open(args.json, "w", encoding="utf-8") as f:
                json.dump({"production": label, "bpm": bpm, "fps": recording.fps,
                           "size": [recording.width, recording.height],
                           "sections": rows, "whole": whole}, f, indent=1)
        if args.sheet:
            contact_sheet(recording, spans, bpm, args.every, args.thumb, args.columns, args.sheet)
            print("wrote %s" % args.sheet)
        if args.at:
            write_frames(recording, bpm, args.at, args.frames)
    except (OSError, ValueError) as e:
        print("score_recording: %s" % e, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
