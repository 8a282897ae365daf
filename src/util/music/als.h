// The Live set reader: an Ableton Live set (gzip-compressed XML) to note
// data. It takes the MIDI clips on each MIDI track's arrangement, expands
// looped clips into repeated notes, and reads the set's tempo; everything
// else in the set is ignored.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "util/music/notedata.h"

class TiXmlElement;

class AlsNoteData : public NoteData {
public:
    // Reads the file through the data layer's gzip load.
    explicit AlsNoteData(std::string file);
    // Reads the inflated document of a text load (the last byte is the
    // appended zero); `file` names it in messages.
    AlsNoteData(char* xml, int32_t length, const std::string& file);

    // The most note events a set may hold: a looped clip repeats its notes
    // up to its end, so a short file can ask for very many.
    static const uint32_t kMaxEvents = 1000000;

    void read_tempo(TiXmlElement* mixer);
    void read_tracks(TiXmlElement* tracks_element);

private:
    TiXmlElement* required(TiXmlElement* from, std::initializer_list<const char*> names) const;
    void read_document(char* xml, int32_t length);
    void read_clip(Track& track, TiXmlElement* clip);
    // One key track of a clip, its passes from `start` until `end`.
    void read_key_track(Track& track, TiXmlElement* key_track, float start, double end, bool looped,
                        float loop_length);

    std::string file_;
    uint32_t events_ = 0;  // over the whole set
};
