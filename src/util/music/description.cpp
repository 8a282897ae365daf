#include "util/music/description.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "system/fatal.h"
#include "util/data/data.h"
#include "util/music/modulators/adsr.h"
#include "util/music/modulators/arp.h"
#include "util/music/modulators/lfo.h"
#include "util/music/notedata.h"
#include "util/music/xmlbuffer.h"

namespace {

// The text of an element (its first child, when that is text); "" when it
// has none, which reads as no number at all.
const char* element_text(const TiXmlElement* element) {
    const char* text = element->GetText();
    return text ? text : "";
}

// The number reads of the formatted-input conversions: a text without any
// input ends the run; one that does not begin with a number leaves the value
// as it was (the return value says whether it was read).
template <typename T>
bool scan_number(const TiXmlElement* element, const char* format, T* value) {
    T read{};
    const int result = std::sscanf(element_text(element), format, &read);
    if (result == EOF) FATAL_ERROR("sscanf failed");
    if (result == 1) *value = read;
    return result == 1;
}

bool scan_int(const TiXmlElement* element, int32_t* value) { return scan_number(element, "%i", value); }
bool scan_float(const TiXmlElement* element, float* value) { return scan_number(element, "%f", value); }

// A note-value denominator: an integer and an optional suffix word, of which
// a first character t or T marks a triplet.
bool scan_denominator(const TiXmlElement* element, int32_t* value, bool* triplet) {
    int read = 0;
    char suffix[2] = " ";
    const int result = std::sscanf(element_text(element), "%i%1s", &read, suffix);
    if (result == EOF) FATAL_ERROR("sscanf failed");
    if (result >= 1) *value = read;
    *triplet = suffix[0] == 't' || suffix[0] == 'T';
    return result >= 1;
}

struct Keyword {
    const char* text;
    int32_t code;
};

// The code of a keyword text; any other text ends the run with `message`
// followed by the text.
int32_t keyword_code(const std::string& text, std::initializer_list<Keyword> keywords, const char* message) {
    for (const Keyword& keyword : keywords)
        if (text == keyword.text) return keyword.code;
    FATAL_ERROR(message << text);
}

// The first child element of that name; none ends the run with `message`,
// which spells out the lookup that failed.
TiXmlElement* require_child(TiXmlElement* element, const char* name, const char* message) {
    TiXmlElement* child = element->FirstChildElement(name);
    if (!child) FATAL_ERROR(message);
    return child;
}

}  // namespace

ModulatorLoader::ModulatorLoader(NoteData* notes, float bpm, std::vector<std::unique_ptr<Modulator>>& store,
                                 std::string file, std::string folder)
    : notes_(notes), bpm_(bpm), store_(store), file_(std::move(file)), folder_(std::move(folder)) {}

const char* ModulatorLoader::required_attribute(TiXmlElement* element, const char* name) const {
    const char* value = element->Attribute(name);
    if (!value)
        FATAL_ERROR("Missing attribute " << name << " of element " << element->Value() << " in " << file_);
    return value;
}

void ModulatorLoader::load(TiXmlElement* first) {
    for (TiXmlElement* element = first; element; element = element->NextSiblingElement()) load_element(element);
}

void ModulatorLoader::load_element(TiXmlElement* element) {
    const std::string association = required_attribute(element, "association");
    Track* track = nullptr;
    if (notes_)
        for (Track& candidate : notes_->tracks)
            if (candidate.name == association) {
                track = &candidate;
                break;
            }
    if (!track) FATAL_ERROR("Could not find track " << association);

    // The modulator is kept before anything else can fail, so nothing leaks.
    Modulator* modulator = nullptr;
    if (TiXmlElement* lfo = element->FirstChildElement("lfo")) {
        modulator = load_lfo(lfo);
        track->modulators.push_back(modulator);
        TiXmlElement* controller = lfo->FirstChildElement("tempo")->FirstChildElement("controller");
        TiXmlElement* template_element = require_child(
            controller, "template",
            "tempo_element->FirstChildElement( \"controller\" )->FirstChildElement( \"template\" ) is NULL");
        load_controller_template_file(folder_ + required_attribute(template_element, "file"), *modulator);
    } else if (TiXmlElement* envelope = element->FirstChildElement("envelope")) {
        track->modulators.push_back(load_envelope(envelope));
    } else if (TiXmlElement* arp = element->FirstChildElement("arp")) {
        track->modulators.push_back(load_arp(arp));
    }

    if (TiXmlElement* intensity_element = element->FirstChildElement("intensity")) {
        const std::string unit = required_attribute(intensity_element, "unit");
        if (unit != "float") FATAL_ERROR("Unexpected intensity unit: " << unit);
        float intensity = 0.0f;
        scan_float(intensity_element, &intensity);
        if (track->modulators.empty())
            FATAL_ERROR("Intensity for track " << association << " without a modulator in " << file_);
        track->modulators.back()->set_intensity(intensity);
    }
}

Modulator* ModulatorLoader::load_lfo(TiXmlElement* lfo_element) {
    TiXmlElement* wave_element =
        require_child(lfo_element, "wave", "lfo_element->FirstChildElement( \"wave\" ) is NULL");
    const int32_t wave = keyword_code(element_text(wave_element), {{"sine", LFO::Sine}, {"saw", LFO::Saw}},
                                      "Unrecognized LFO wave type: ");

    TiXmlElement* tempo_element = require_child(lfo_element, "tempo", "tempo_element is NULL");
    TiXmlElement* numerator_element = require_child(
        tempo_element, "numerator", "tempo_element->FirstChildElement( \"numerator\" ) is NULL");
    TiXmlElement* denominator_element = require_child(
        tempo_element, "denominator", "tempo_element->FirstChildElement( \"denominator\" ) is NULL");
    int32_t numerator = -1, denominator = -1, cc = -1;
    bool triplet = false;
    scan_int(numerator_element, &numerator);
    scan_denominator(denominator_element, &denominator, &triplet);

    TiXmlElement* controller_element = require_child(
        tempo_element, "controller", "tempo_element->FirstChildElement( \"controller\" ) is NULL");
    TiXmlElement* cc_element =
        require_child(controller_element, "cc",
                      "tempo_element->FirstChildElement( \"controller\" )->FirstChildElement( \"cc\" ) is NULL");
    scan_int(cc_element, &cc);
    // A track has controllers 0 to 127; a negative number means none.
    if (cc > 127) FATAL_ERROR("Controller number " << cc << " out of range 0..127 in " << file_);

    store_.push_back(std::make_unique<LFO>(wave, cc, numerator, denominator, triplet));
    return store_.back().get();
}

float ModulatorLoader::read_length(TiXmlElement* element, int32_t* slope) {
    float seconds = 1.0f;
    scan_float(element, &seconds);
    const std::string unit = required_attribute(element, "unit");
    if (unit != "s") FATAL_ERROR("Unrecognized unit type: " << unit);
    const float beats = seconds / 60.0f * bpm_;
    *slope = keyword_code(required_attribute(element, "slope"),
                          {{"linear", ADSR::Linear}, {"exp", ADSR::Exp}, {"exp_inv", ADSR::ExpInv}},
                          "Unrecognized slope type: ");
    return beats;
}

Modulator* ModulatorLoader::load_envelope(TiXmlElement* env_element) {
    TiXmlElement* attack_element =
        require_child(env_element, "attack", "env_element->FirstChildElement( \"attack\" ) is NULL");
    TiXmlElement* decay_element =
        require_child(env_element, "decay", "env_element->FirstChildElement( \"decay\" ) is NULL");
    TiXmlElement* sustain_element =
        require_child(env_element, "sustain", "env_element->FirstChildElement( \"sustain\" ) is NULL");
    TiXmlElement* release_element =
        require_child(env_element, "release", "env_element->FirstChildElement( \"release\" ) is NULL");

    int32_t attack_slope = 0, decay_slope = 0, release_slope = 0;
    const float attack = read_length(attack_element, &attack_slope);
    const float decay = read_length(decay_element, &decay_slope);
    float sustain = 1.0f;
    scan_float(sustain_element, &sustain);
    const std::string unit = required_attribute(sustain_element, "unit");
    if (unit != "percent") FATAL_ERROR("Unrecognized unit type: " << unit);
    sustain /= 100.0f;
    const float release = read_length(release_element, &release_slope);

    store_.push_back(
        std::make_unique<ADSR>(attack, attack_slope, decay, decay_slope, sustain, release, release_slope));
    return store_.back().get();
}

Modulator* ModulatorLoader::load_arp(TiXmlElement* arp_element) {
    TiXmlElement* pattern_element =
        require_child(arp_element, "pattern", "arp_element->FirstChildElement( \"pattern\" ) is NULL");
    const int32_t pattern = keyword_code(element_text(pattern_element),
                                         {{"updown", Arp::UpDown}, {"up", Arp::Up}, {"down", Arp::Down}},
                                         "Unrecognized arp pattern: ");

    TiXmlElement* octaves_element =
        require_child(arp_element, "octaves", "arp_element->FirstChildElement( \"octaves\" ) is NULL");
    int32_t octaves = -1, numerator = -1, denominator = -1;
    bool triplet = false;
    scan_int(octaves_element, &octaves);
    TiXmlElement* numerator_element =
        require_child(arp_element, "numerator", "arp_element->FirstChildElement( \"numerator\" ) is NULL");
    TiXmlElement* denominator_element =
        require_child(arp_element, "denominator", "arp_element->FirstChildElement( \"denominator\" ) is NULL");
    scan_int(numerator_element, &numerator);
    scan_denominator(denominator_element, &denominator, &triplet);

    store_.push_back(std::make_unique<Arp>(pattern, octaves, numerator, denominator, triplet));
    return store_.back().get();
}

void load_xml_document(XmlDocument& document, const std::string& path) {
    int32_t length = 0;
    std::unique_ptr<char, decltype(&std::free)> bytes(DataFile::load(path.c_str(), "rb", &length, true, false),
                                                       &std::free);
    if (!document.LoadBuffer(bytes.get(), length, TIXML_ENCODING_UNKNOWN))
        FATAL_ERROR("Could not load " << path << ". Error='" << document.ErrorDesc() << "'. Exiting.\n");
}

void load_controller_template_file(const std::string& path, Modulator& modulator) {
    XmlDocument document;
    load_xml_document(document, path);
    read_controller_template(document, modulator);
}

void read_controller_template(TiXmlDocument& document, Modulator& modulator) {
    TiXmlElement* element = document.FirstChildElement("unit");
    if (!element) FATAL_ERROR("element is NULL");
    TiXmlElement* template_element =
        require_child(element, "template", "element->FirstChildElement( \"template\" ) is NULL");
    TiXmlElement* cur_el = require_child(
        template_element, "range",
        "element->FirstChildElement( \"template\" )->FirstChildElement( \"range\" ) is NULL");

    for (; cur_el; cur_el = cur_el->NextSiblingElement("range")) {
        TiXmlElement* min_element =
            require_child(cur_el, "min", "cur_el->FirstChildElement( \"min\" ) is NULL");
        TiXmlElement* max_element =
            require_child(cur_el, "max", "cur_el->FirstChildElement( \"max\" ) is NULL");
        TiXmlElement* value_element =
            require_child(cur_el, "value", "cur_el->FirstChildElement( \"value\" ) is NULL");
        TiXmlElement* numerator_element = require_child(
            value_element, "numerator",
            "cur_el->FirstChildElement( \"value\" )->FirstChildElement( \"numerator\" ) is NULL");
        TiXmlElement* denominator_element = require_child(
            value_element, "denominator",
            "cur_el->FirstChildElement( \"value\" )->FirstChildElement( \"denominator\" ) is NULL");

        // A band has no default: a text that is not a number is refused.
        int32_t min = 0, max = 0, numerator = 0, denominator = 0;
        bool triplet = false;
        if (!scan_int(min_element, &min) || !scan_int(max_element, &max) ||
            !scan_int(numerator_element, &numerator) ||
            !scan_denominator(denominator_element, &denominator, &triplet))
            FATAL_ERROR("sscanf failed");
        modulator.add_range(static_cast<uint8_t>(min & 0xFF), static_cast<uint8_t>(max & 0xFF), numerator,
                            denominator, triplet);
    }
}
