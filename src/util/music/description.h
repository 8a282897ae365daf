// The modulator elements of a music description and the controller
// templates that LFOs name: XML to modulators attached to note tracks. The
// music object (music_description.cpp) reads the description itself, its
// soundtrack and its note data, and hands the modulator elements here.
#pragma once

#include <memory>
#include <string>
#include <vector>

class Modulator;
class NoteData;
class TiXmlDocument;
class XmlDocument;
class TiXmlElement;

class ModulatorLoader {
public:
    // Modulators go to the tracks of `notes` and are kept in `store`;
    // envelope lengths in seconds become beats at `bpm`. `file` (the
    // description) and `folder` (its folder, which the template names are
    // relative to) are for paths and messages.
    ModulatorLoader(NoteData* notes, float bpm, std::vector<std::unique_ptr<Modulator>>& store, std::string file,
                    std::string folder);

    // One modulator per element from `first` through its following sibling
    // elements, each appended to the track its `association` names.
    void load(TiXmlElement* first);

private:
    void load_element(TiXmlElement* element);
    Modulator* load_lfo(TiXmlElement* lfo_element);
    Modulator* load_envelope(TiXmlElement* env_element);
    Modulator* load_arp(TiXmlElement* arp_element);
    // A length of the envelope in beats and its slope code.
    float read_length(TiXmlElement* element, int32_t* slope);
    const char* required_attribute(TiXmlElement* element, const char* name) const;

    NoteData* notes_;
    float bpm_;
    std::vector<std::unique_ptr<Modulator>>& store_;
    std::string file_;
    std::string folder_;
};

// Reads an XML file of the description's kind (the description, a
// template) through the data layer; a missing or malformed file ends the run.
void load_xml_document(XmlDocument& document, const std::string& path);

// Reads the controller template at `path` (through the data layer) into
// rows of the modulator's controller table, in document order.
void load_controller_template_file(const std::string& path, Modulator& modulator);
// The same from a parsed template.
void read_controller_template(TiXmlDocument& document, Modulator& modulator);
