#include "util/music/xmlbuffer.h"

#include <cstring>
#include <string>

namespace {

// Longer than any UTF-8 sequence.
const size_t kEndPadding = 8;

}  // namespace

bool XmlDocument::LoadBuffer(char* buffer, int32_t length, TiXmlEncoding encoding) {
    if (!buffer) {
        SetError(TiXmlBase::TIXML_ERROR_OPENING_FILE, nullptr, nullptr, TIXML_ENCODING_UNKNOWN);
        return false;
    }
    Clear();
    ClearError();
    if (length < 1) {
        Parse("", nullptr, encoding);
        return !Error();
    }
    buffer[length - 1] = 0;

    // Runs between carriage returns are copied whole.
    const size_t size = std::strlen(buffer);
    std::string text;
    text.reserve(size + kEndPadding);
    const char* p = buffer;
    const char* end = buffer + size;
    while (p < end) {
        const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(end - p)));
        if (!cr) {
            text.append(p, end);
            break;
        }
        text.append(p, cr);
        text.push_back('\n');
        p = cr + 1;
        if (p < end && *p == '\n') ++p;
    }
    // TinyXML steps over a whole UTF-8 sequence once it has seen its lead
    // byte, even when the text ends inside it, and then reads on from there;
    // the zeros after the text keep such a step inside the copy, where the
    // parse ends.
    text.append(kEndPadding, '\0');
    Parse(text.c_str(), nullptr, encoding);
    return !Error();
}
