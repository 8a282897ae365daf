"""Keys of a production's timeline (data/productions/<name>/timeline.txt), for
the scripts that write one (tools/make_<name>_timeline.py): one key a line,

    <track> <position> <value> <interpolation>

the position a beat with a "b" suffix ("16b") when the key falls on a beat,
else a row (8 a beat; see tools/synctimeline.cpp). A key must fall on a row;
a later key of a track at the same row replaces the earlier one. Values are
written with 6 significant digits, after rounding to `decimals` places when
the script sets it (timeline_keys.decimals = 4).
"""

import os
import sys

ROWS_PER_BEAT = 8
decimals = None

lines = []
_written = {}  # (track, row) -> index in lines


def comment(text):
    """A blank line, then `text` as comment lines."""
    lines.append("")
    for line in text.strip().splitlines():
        lines.append("# " + line.strip())


def key(track, beat, value, interpolation="step"):
    rows = beat * ROWS_PER_BEAT
    row = round(rows)
    if abs(row - rows) > 1e-9:
        raise ValueError(f"{track}: beat {beat} is not on a row")
    position = f"{row // ROWS_PER_BEAT}b" if row % ROWS_PER_BEAT == 0 else f"{row}"
    if decimals is not None:
        value = round(value, decimals)
    line = f"{track} {position} {value:g} {interpolation}"
    if (track, row) in _written:
        lines[_written[(track, row)]] = line
    else:
        _written[(track, row)] = len(lines)
        lines.append(line)


def keys(track, *changes):
    """Keys that switch a track, (beat, value) each."""
    for beat, value in changes:
        key(track, beat, value)


def ramp(track, start, value, end, end_value, interpolation="linear"):
    """From `value` at `start` to `end_value` at `end` (linearly, or as
    `interpolation` says), held there."""
    key(track, start, value, interpolation)
    key(track, end, end_value)


def pulses(track, beats, high, low, decay):
    """A hit on every beat listed: `high`, falling linearly to `low` over
    `decay` beats (less than the spacing of the hits), held there until the
    next hit. `high` and `low` may be functions of the beat."""
    for b in beats:
        h = high(b) if callable(high) else high
        lo = low(b) if callable(low) else low
        ramp(track, b, h, b + decay, lo)


def output_path(production):
    """Where the script writes: its first argument, else the production's
    timeline in the repository."""
    if len(sys.argv) > 1:
        return sys.argv[1]
    here = os.path.dirname(os.path.abspath(__file__))
    return os.path.join(here, "..", "data", "productions", production, "timeline.txt")


def write(path, header):
    """The header lines, as comments, then every key, to `path`."""
    with open(path, "w") as f:
        f.write("\n".join(["# " + line for line in header] + lines) + "\n")
