#!/usr/bin/python3
# Prints the note events of a Standard MIDI File as the mido library reads
# them, one line each: chunk index, tick from the chunk's start, key, "on"
# for a press or "off" for a release (a note-off, or a note-on of velocity
# 0), and the press velocity (0 for a release). The last line gives the
# ticks per quarter note. The MIDI reader's tests compare with it.
import sys

import mido

song = mido.MidiFile(sys.argv[1])
for index, track in enumerate(song.tracks):
    tick = 0
    for message in track:
        tick += message.time
        if message.type not in ("note_on", "note_off"):
            continue
        press = message.type == "note_on" and message.velocity > 0
        print(index, tick, message.note, "on" if press else "off", message.velocity if press else 0)
print("division", song.ticks_per_beat)
