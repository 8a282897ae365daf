#include "util/ascii/text_picture.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "system/fatal.h"
#include "util/data/data.h"

TextPicture parse_text_picture(const std::string& name, const char* text, size_t length) {
    if (length == 0) FATAL_ERROR("Text picture " << name << " is empty");
    if (const void* zero = std::memchr(text, 0, length))
        FATAL_ERROR("File " << name << " is not a text picture: it holds a zero byte at offset "
                            << (static_cast<const char*>(zero) - text));

    // The lines, without their line feeds (and carriage returns before them).
    std::vector<std::pair<size_t, size_t>> lines;  // start, length
    size_t start = 0;
    while (start < length) {
        const void* feed = std::memchr(text + start, '\n', length - start);
        size_t end = feed ? static_cast<size_t>(static_cast<const char*>(feed) - text) : length;
        size_t line_length = end - start;
        if (feed && line_length > 0 && text[end - 1] == '\r') --line_length;
        lines.emplace_back(start, line_length);
        if (lines.size() > static_cast<size_t>(kTextPictureMaxSide) ||
            line_length > static_cast<size_t>(kTextPictureMaxSide))
            FATAL_ERROR("Text picture " << name << " is larger than " << kTextPictureMaxSide << "x"
                                        << kTextPictureMaxSide << " characters");
        start = end + 1;
    }

    TextPicture picture;
    picture.height = static_cast<int>(lines.size());
    for (const auto& line : lines) picture.width = std::max(picture.width, static_cast<int>(line.second));
    picture.chars.assign(static_cast<size_t>(picture.width) * picture.height, 0);
    // An empty line copies nothing: a picture of only empty lines has no
    // cells at all, and memcpy may not be handed its null buffer.
    for (size_t row = 0; row < lines.size(); ++row)
        if (lines[row].second > 0)
            std::memcpy(picture.chars.data() + row * picture.width, text + lines[row].first, lines[row].second);
    return picture;
}

AsciiLoader::AsciiLoader(AsciiScreen* screen, const std::string& file) : screen_(screen) {
    int32_t length = 0;
    char* text = DataFile::load(file.c_str(), "r", &length, true, false);
    if (!text) FATAL_ERROR("Failed to load " << file);
    // A text load ends in a zero byte of its own, counted in the length.
    const size_t size = length > 0 ? static_cast<size_t>(length) - 1 : 0;
    // The bytes stay with the loader's picture; the load's block is freed
    // before a bad picture ends the run.
    std::vector<char> bytes(text, text + size);
    std::free(text);
    picture_ = parse_text_picture(file, bytes.data(), bytes.size());
}
