#include "util/music/als.h"

#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <memory>

#include "system/fatal.h"
#include "util/data/data.h"
#include "util/music/xmlbuffer.h"

namespace {

// A number attribute: the leading decimal number of its text; 0 when the
// attribute is absent or has no number.
double number_attribute(const TiXmlElement* element, const char* name) {
    const char* text = element->Attribute(name);
    return text ? std::strtod(text, nullptr) : 0.0;
}

}  // namespace

AlsNoteData::AlsNoteData(std::string file) : NoteData(file), file_(file) {
    int32_t length = 0;
    std::unique_ptr<char, decltype(&std::free)> bytes(DataFile::load_gzip(file.c_str(), "rb", &length, true),
                                                       &std::free);
    read_document(bytes.get(), length);
}

AlsNoteData::AlsNoteData(char* xml, int32_t length, const std::string& file) : NoteData(file), file_(file) {
    read_document(xml, length);
}

namespace {

// The element at the end of a chain of first child elements, or null.
TiXmlElement* find_path(TiXmlNode* from, std::initializer_list<const char*> names) {
    TiXmlNode* node = from;
    for (const char* name : names) {
        if (!node) return nullptr;
        node = node->FirstChildElement(name);
    }
    return node ? node->ToElement() : nullptr;
}

std::string join_path(const char* start, std::initializer_list<const char*> names) {
    std::string path = start;
    for (const char* name : names) path += std::string("/") + name;
    return path;
}

}  // namespace

// An element the set must have: the reader has no sensible value without it.
TiXmlElement* AlsNoteData::required(TiXmlElement* from, std::initializer_list<const char*> names) const {
    TiXmlElement* found = find_path(from, names);
    if (!found) FATAL_ERROR("Could not read Live set " << file_ << ": no element " << join_path(from->Value(), names));
    return found;
}

void AlsNoteData::read_document(char* xml, int32_t length) {
    XmlDocument document;
    if (!document.LoadBuffer(xml, length, TIXML_ENCODING_UNKNOWN))
        FATAL_ERROR("Could not parse XML from " << file_ << ". Error='" << document.ErrorDesc() << "'. Exiting.\n");
    if (!document.FirstChild("Ableton")) FATAL_ERROR("node is NULL");
    TiXmlElement* root = document.FirstChildElement("Ableton");
    if (!root) FATAL_ERROR("element is NULL");

    read_tempo(required(root, {"LiveSet", "MasterTrack", "DeviceChain", "Mixer"}));
    read_tracks(required(root, {"LiveSet", "Tracks"}));
}

void AlsNoteData::read_tempo(TiXmlElement* mixer) {
    bpm = static_cast<float>(number_attribute(required(mixer, {"Tempo", "Manual"}), "Value"));
}

void AlsNoteData::read_tracks(TiXmlElement* tracks_element) {
    for (TiXmlElement* midi_track = tracks_element->FirstChildElement("MidiTrack"); midi_track;
         midi_track = midi_track->NextSiblingElement("MidiTrack")) {
        Track track;
        const char* name = required(midi_track, {"Name", "EffectiveName"})->Attribute("Value");
        if (!name) FATAL_ERROR("Could not read Live set " << file_ << ": MidiTrack/Name/EffectiveName has no Value");
        track.name = name;

        TiXmlElement* events =
            find_path(midi_track, {"DeviceChain", "MainSequencer", "ClipTimeable", "ArrangerAutomation", "Events"});
        if (events)
            for (TiXmlElement* clip = events->FirstChildElement("MidiClip"); clip;
                 clip = clip->NextSiblingElement("MidiClip"))
                read_clip(track, clip);
        if (track.num_events > 0) tracks.push_back(track);
    }
}

void AlsNoteData::read_clip(Track& track, TiXmlElement* clip) {
    const double start = number_attribute(required(clip, {"CurrentStart"}), "Value");
    const double end = number_attribute(required(clip, {"CurrentEnd"}), "Value");
    const char* loop_on = required(clip, {"Loop", "LoopOn"})->Attribute("Value");
    if (!loop_on) FATAL_ERROR("Could not read Live set " << file_ << ": MidiClip/Loop/LoopOn has no Value");
    const bool looped = std::string(loop_on) == "true";
    const double loop_start = number_attribute(required(clip, {"Loop", "LoopStart"}), "Value");
    const double loop_end = number_attribute(required(clip, {"Loop", "LoopEnd"}), "Value");
    const float loop_length = static_cast<float>(loop_end - loop_start);

    TiXmlElement* key_tracks = find_path(clip, {"Notes", "KeyTracks"});
    if (!key_tracks) return;
    for (TiXmlElement* key_track = key_tracks->FirstChildElement("KeyTrack"); key_track;
         key_track = key_track->NextSiblingElement("KeyTrack"))
        read_key_track(track, key_track, static_cast<float>(start), end, looped, loop_length);
}

void AlsNoteData::read_key_track(Track& track, TiXmlElement* key_track, float start, double end, bool looped,
                                 float loop_length) {
    const char* key_text = required(key_track, {"MidiKey"})->Attribute("Value");
    const uint8_t key = static_cast<uint8_t>(key_text ? std::strtol(key_text, nullptr, 10) : 0);
    Note& note = track.note_for_key(key);
    const size_t note_index = static_cast<size_t>(&note - track.notes.data());

    TiXmlElement* events = key_track->FirstChildElement("Notes");
    float offset = start;
    // A loop without length would repeat its first pass for ever: such a
    // clip plays once.
    const bool repeats = looped && loop_length > 0.0f;
    for (;;) {
        bool placed = false;
        for (TiXmlElement* event = events ? events->FirstChildElement("MidiNoteEvent") : nullptr; event;
             event = event->NextSiblingElement("MidiNoteEvent")) {
            const double t = number_attribute(event, "Time");
            const double d = number_attribute(event, "Duration");
            if (offset + t >= end) break;
            if (events_ >= kMaxEvents)
                FATAL_ERROR("Could not read Live set " << file_ << ": more than " << kMaxEvents << " note events");
            ++events_;
            ++track.num_events;
            track.notes[note_index].times.push_back(static_cast<float>(offset + t));
            track.notes[note_index].times.push_back(-static_cast<float>(offset + t + d));
            placed = true;
        }
        offset += loop_length;
        // Passes only move later, so once one places nothing no later one
        // can.
        if (!repeats || !placed || !(end >= offset)) break;
    }
    if (track.notes[note_index].times.empty()) track.notes.erase(track.notes.begin() + note_index);
}
