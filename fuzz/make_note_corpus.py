#!/usr/bin/env python3
"""Writes the seed corpora of the MIDI and XML-reader fuzz targets
(fuzz/corpus/midi/, fuzz/corpus/als/). Deterministic; run from anywhere.
The found_* files next to them are small inputs kept from fuzzing runs."""
import os
import struct
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tools"))
from midifile import chunk, vlq  # noqa: E402

root = os.path.join(here, "corpus")


def write(kind, name, data):
    os.makedirs(os.path.join(root, kind), exist_ok=True)
    with open(os.path.join(root, kind, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode())


def header(ntracks, division=96, fmt=1):
    return b"MThd" + struct.pack(">IHHH", 6, fmt, ntracks, division)


def name(text):
    return b"\x00\xff\x03" + vlq(len(text)) + text


EOT = b"\x00\xff\x2f\x00"
conductor = chunk(name(b"Cond") + b"\x00\xff\x51\x03\x07\xa1\x20" + b"\x00\xff\x58\x04\x04\x02\x18\x08"
                  + b"\x00\xff\x59\x02\xfd\x01" + b"\x00\xff\x01\x04text" + b"\x00\xff\x02\x02(c)" + EOT)
bass = chunk(name(b"Bass") + b"\x30\x90\x3c\x64\x30\x80\x3c\x40\x00\xb0\x01\x40\x00\xb0\x07\x64" + EOT)
running = chunk(name(b"Keys") + b"\x00\x90\x40\x50\x10\x43\x50\x10\x40\x00\x10\x43\x00"
                + b"\x00\xe0\x00\x40\x00\xa0\x40\x10\x00\xd0\x20" + vlq(0x0FFFFFFF) + b"\x80\x40\x00" + EOT)
write("midi", "song", header(3) + conductor + bass + running)
write("midi", "bass_only", header(1, 480, 0) + bass)
write("midi", "release_first", header(1) + chunk(b"\x00\x80\x3c\x00\x10\x90\x3c\x40\x10\x90\x3c\x00" + EOT))
write("midi", "program_change", header(1) + chunk(b"\x00\xc0\x05" + EOT))
write("midi", "sysex", header(1) + chunk(b"\x00\xf0\x03\x01\x02\xf7" + EOT))
write("midi", "lyric", header(1) + chunk(b"\x00\xff\x05\x02la" + EOT))
write("midi", "short_chunk", header(2) + bass[:20])

live_set = """<?xml version="1.0" encoding="UTF-8"?>
<Ableton><LiveSet>
 <MasterTrack><DeviceChain><Mixer><Tempo><Manual Value="128.5"/></Tempo></Mixer></DeviceChain></MasterTrack>
 <Tracks><MidiTrack>
  <Name><EffectiveName Value="Lead"/></Name>
  <DeviceChain><MainSequencer><ClipTimeable><ArrangerAutomation><Events>
   <MidiClip>
    <CurrentStart Value="0"/><CurrentEnd Value="8"/>
    <Loop><LoopStart Value="0"/><LoopEnd Value="2"/><LoopOn Value="true"/></Loop>
    <Notes><KeyTracks><KeyTrack>
     <Notes><MidiNoteEvent Time="0" Duration="0.5"/><MidiNoteEvent Time="1" Duration="0.5"/></Notes>
     <MidiKey Value="60"/>
    </KeyTrack></KeyTracks></Notes>
   </MidiClip>
   <MidiClip>
    <CurrentStart Value="8"/><CurrentEnd Value="16"/>
    <Loop><LoopStart Value="1"/><LoopEnd Value="1"/><LoopOn Value="False"/></Loop>
    <Notes><KeyTracks><KeyTrack><Notes><MidiNoteEvent Time="0" Duration="1"/><MidiNoteEvent Time="10" Duration="1"/></Notes><MidiKey Value="64"/></KeyTrack></KeyTracks></Notes>
   </MidiClip>
  </Events></ArrangerAutomation></ClipTimeable></MainSequencer></DeviceChain>
 </MidiTrack><AudioTrack/></Tracks>
</LiveSet></Ableton>
"""
write("als", "live_set", live_set)
write("als", "live_set_crlf", live_set.replace("\n", "\r\n"))

template = """<unit><template>
  <range><min>0</min><max>42</max><value><numerator>1</numerator><denominator>4</denominator></value></range>
  <!-- comment -->
  <range><min>43</min><max>85</max><value><numerator>1</numerator><denominator>8</denominator></value></range>
  <range><min>86</min><max>127</max><value><numerator>1</numerator><denominator>8t</denominator></value></range>
</template></unit>
"""
write("als", "template", template)

description = """<?xml version="1.0"?>
<modulators stream_filename="test.ogg" notedata_filename="test.mid">
  <mod association="Bass">
    <envelope>
      <attack unit="s" slope="linear">0.5</attack>
      <decay unit="s" slope="exp">0.5</decay>
      <sustain unit="percent">50</sustain>
      <release unit="s" slope="exp_inv">1.0</release>
    </envelope>
    <intensity unit="float">0.8</intensity>
  </mod>
  <mod association="Bass">
    <lfo><wave>saw</wave>
      <tempo><numerator>1</numerator><denominator>4</denominator>
        <controller><cc>1</cc><template file="knob.xml"/></controller></tempo></lfo>
  </mod>
  <mod association="Lead">
    <arp><pattern>updown</pattern><octaves>1</octaves><numerator>1</numerator><denominator>8 t</denominator></arp>
  </mod>
  <mod association="Bass"><intensity unit="float">0x10</intensity></mod>
</modulators>
"""
write("als", "description", description)
write("als", "description_no_lfo", description.replace("<lfo>", "<lfo_>").replace("</lfo>", "</lfo_>"))
