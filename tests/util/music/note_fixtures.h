// Note files made in the test: MIDI files from events, Live sets as gzip
// files, and the small music description and controller template that go
// with them.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace note_fixtures {

using Bytes = std::vector<uint8_t>;

inline Bytes bytes(std::initializer_list<int> values) {
    Bytes out;
    for (int v : values) out.push_back(static_cast<uint8_t>(v));
    return out;
}

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A variable-length quantity.
inline Bytes vlq(uint32_t value) {
    Bytes out{static_cast<uint8_t>(value & 0x7F)};
    while (value >>= 7) out.insert(out.begin(), static_cast<uint8_t>(0x80 | (value & 0x7F)));
    return out;
}

inline Bytes be32(uint32_t v) { return bytes({int(v >> 24), int(v >> 16 & 0xFF), int(v >> 8 & 0xFF), int(v & 0xFF)}); }

inline Bytes midi_header(int ntracks, int division, int format = 1) {
    return Bytes{'M', 'T', 'h', 'd'} + be32(6) + bytes({format >> 8, format & 0xFF, ntracks >> 8, ntracks & 0xFF,
                                                        division >> 8, division & 0xFF});
}

inline Bytes track_chunk(const Bytes& events) { return Bytes{'M', 'T', 'r', 'k'} + be32(uint32_t(events.size())) + events; }

inline Bytes track_name(const std::string& name) {
    return bytes({0x00, 0xFF, 0x03}) + vlq(uint32_t(name.size())) + Bytes(name.begin(), name.end());
}

inline Bytes end_of_track() { return bytes({0x00, 0xFF, 0x2F, 0x00}); }

inline Bytes tempo(uint32_t us) { return bytes({0x00, 0xFF, 0x51, 0x03, int(us >> 16), int(us >> 8 & 0xFF), int(us & 0xFF)}); }

// The song of the notes: format 1, division 96, a conductor chunk (name,
// tempo 120, 4/4) and the track "Bass": key 60 from beat 0.5 to 1.0, then
// controller 1 set to 64 at beat 1.0.
inline Bytes bass_midi() {
    return midi_header(2, 96) +
           track_chunk(track_name("Cond") + tempo(500000) + bytes({0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08}) +
                       end_of_track()) +
           track_chunk(track_name("Bass") + bytes({0x30, 0x90, 0x3C, 0x64, 0x30, 0x80, 0x3C, 0x40, 0x00, 0xB0, 0x01, 0x40}) +
                       end_of_track());
}

// Writes `content` as a single-member gzip file.
inline bool write_gzip(const std::string& path, const std::string& content) {
    gzFile file = gzopen(path.c_str(), "wb");
    if (!file) return false;
    const int written = content.empty() ? 0 : gzwrite(file, content.data(), static_cast<unsigned>(content.size()));
    return gzclose(file) == Z_OK && written == static_cast<int>(content.size());
}

// A Live set around the given <Tracks> content, at the tempo.
inline std::string live_set(const std::string& tracks, const std::string& tempo_value = "128.5") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Ableton><LiveSet>\n"
           " <MasterTrack><DeviceChain><Mixer><Tempo><Manual Value=\"" +
           tempo_value + "\"/></Tempo></Mixer></DeviceChain></MasterTrack>\n <Tracks>" + tracks +
           "</Tracks>\n</LiveSet></Ableton>\n";
}

// One MIDI track with the given clips.
inline std::string midi_track(const std::string& name, const std::string& clips) {
    return "<MidiTrack><Name><EffectiveName Value=\"" + name +
           "\"/></Name><DeviceChain><MainSequencer><ClipTimeable><ArrangerAutomation><Events>" + clips +
           "</Events></ArrangerAutomation></ClipTimeable></MainSequencer></DeviceChain></MidiTrack>";
}

// A clip with its key tracks ("<KeyTrack>..." elements).
inline std::string midi_clip(double start, double end, const std::string& loop_on, double loop_start, double loop_end,
                             const std::string& key_tracks) {
    auto num = [](double v) { std::string s = std::to_string(v); return s; };
    return "<MidiClip><CurrentStart Value=\"" + num(start) + "\"/><CurrentEnd Value=\"" + num(end) +
           "\"/><Loop><LoopStart Value=\"" + num(loop_start) + "\"/><LoopEnd Value=\"" + num(loop_end) +
           "\"/><LoopOn Value=\"" + loop_on + "\"/></Loop><Notes><KeyTracks>" + key_tracks +
           "</KeyTracks></Notes></MidiClip>";
}

// A key track: events as (time, duration) pairs.
inline std::string key_track(int key, std::initializer_list<std::pair<double, double>> events) {
    std::string out = "<KeyTrack><Notes>";
    for (const auto& e : events)
        out += "<MidiNoteEvent Time=\"" + std::to_string(e.first) + "\" Duration=\"" + std::to_string(e.second) +
               "\" Velocity=\"100\"/>";
    return out + "</Notes><MidiKey Value=\"" + std::to_string(key) + "\"/></KeyTrack>";
}

// The controller template of the tests: 0-42 a quarter, 43-85 an eighth,
// 86-127 a triplet eighth.
inline std::string knob_template() {
    return "<unit><template>\n"
           "  <range><min>0</min><max>42</max><value><numerator>1</numerator><denominator>4</denominator></value></range>\n"
           "  <!-- a comment between the bands -->\n"
           "  <range><min>43</min><max>85</max><value><numerator>1</numerator><denominator>8</denominator></value></range>\n"
           "  <other/>\n"
           "  <range><min>86</min><max>127</max><value><numerator>1</numerator><denominator>8t</denominator></value></range>\n"
           "</template></unit>\n";
}

}  // namespace note_fixtures
