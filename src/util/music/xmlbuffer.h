// TinyXML documents parsed from a memory buffer, the way every XML reader of
// the program loads its files: carriage returns become line feeds first.
#pragma once

#include <cstdint>

#include <tinyxml.h>

class XmlDocument : public TiXmlDocument {
public:
    // Parses `buffer` (the block of a text load, whose last byte is the zero
    // the data layer appended, and which is set to zero here) up to its
    // first zero byte; CR LF and lone CR become LF. A null buffer gives the
    // error "Failed to open file". True when the document holds no error.
    bool LoadBuffer(char* buffer, int32_t length, TiXmlEncoding encoding);
};
