// The music description: an XML file that names the soundtrack, the note
// data that goes with it and the modulators of its note tracks.
#include "system/fatal.h"
#include "util/music/description.h"
#include "util/music/music.h"
#include "util/music/xmlbuffer.h"

void Music::load_xml(const std::string& file) {
    FATAL_ASSERT(!dummy_mode);
    XmlDocument document;
    load_xml_document(document, file);

    const size_t slash = file.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : file.substr(0, slash + 1);

    TiXmlElement* element = document.FirstChildElement("modulators");
    if (!element) FATAL_ERROR("element is NULL");

    const char* stream = element->Attribute("stream_filename");
    if (!stream) FATAL_ERROR("Missing attribute stream_filename of element modulators in " << file);
    load_stream(folder + stream);

    const char* note_file = element->Attribute("notedata_filename");
    if (!note_file) note_file = element->Attribute("mididata_filename");
    if (!note_file) FATAL_ERROR("Can't find valid note data file!");
    const std::string ext = lower_extension(note_file);
    if (ext == ".mid")
        load_midi(folder + note_file);
    else if (ext == ".als")
        load_als(folder + note_file);
    else
        FATAL_ERROR("Music format " << ext << " not supported");

    load_modulators(element->FirstChildElement(), folder, file);
}

void Music::load_modulators(TiXmlElement* first, const std::string& folder, const std::string& file) {
    FATAL_ASSERT(!dummy_mode);
    ModulatorLoader(notes, bpm, modulators_, file, folder).load(first);
}

void Music::load_controller_template(const std::string& path, Modulator* modulator) {
    FATAL_ASSERT(!dummy_mode);
    load_controller_template_file(path, *modulator);
}
