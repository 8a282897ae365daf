#!/usr/bin/python3
"""Writes Standard MIDI Files that the program's MIDI reader accepts: format
1, a conductor chunk (name, tempo, 4/4), then one chunk per named track with
note-on and note-off messages only. No program changes, instrument names,
markers or system-exclusive messages, which the reader refuses.

    from midifile import write_midi
    write_midi(path, bpm, [("Bass", [(start_beat, length_beats, key, velocity), ...])])
"""
import struct

DIVISION = 480  # ticks per quarter note


def vlq(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, 0x80 | (value & 0x7F))
        value >>= 7
    return bytes(out)


def meta(kind, data):
    return b"\x00\xff" + bytes([kind]) + vlq(len(data)) + data


def chunk(events):
    return b"MTrk" + struct.pack(">I", len(events)) + events


def track_chunk(name, notes, channel):
    """Notes as (start beat, length in beats, key, velocity). A key pressed
    again while it still sounds would be ignored by the reader, so overlaps
    of one key are an error here."""
    messages = []  # (tick, order, bytes): note-offs sort before note-ons
    last_end = {}
    for start, length, key, velocity in sorted(notes):
        on = int(round(start * DIVISION))
        off = int(round((start + length) * DIVISION))
        if off <= on:
            raise ValueError(f"{name}: note {key} at beat {start} has no length")
        if last_end.get(key, -1) > on:
            raise ValueError(f"{name}: key {key} pressed again at beat {start} while it sounds")
        last_end[key] = off
        messages.append((on, 1, bytes([0x90 | channel, key, velocity])))
        messages.append((off, 0, bytes([0x80 | channel, key, 0x40])))
    messages.sort(key=lambda m: (m[0], m[1]))
    events = meta(0x03, name.encode("ascii"))
    tick = 0
    for at, _, message in messages:
        events += vlq(at - tick) + message
        tick = at
    return chunk(events + meta(0x2F, b""))


def write_midi(path, bpm, tracks, title="Conductor"):
    us = int(round(60000000 / bpm))
    conductor = (meta(0x03, title.encode("ascii")) + b"\x00\xff\x51\x03" + us.to_bytes(3, "big") +
                 b"\x00\xff\x58\x04\x04\x02\x18\x08" + meta(0x2F, b""))
    body = chunk(conductor)
    for channel, (name, notes) in enumerate(tracks):
        body += track_chunk(name, notes, 9 if name.lower().endswith("kit") else channel)
    header = b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks) + 1, DIVISION)
    with open(path, "wb") as f:
        f.write(header + body)
