// Text pictures from arbitrary bytes: the reader either refuses them through
// the fatal-error convention or gives a width x height buffer whose every
// row is its line followed by zero bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "system/fatal.h"
#include "util/ascii/text_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool once = [] {
        fatal::set_handler([](const fatal::Report& r) { throw std::runtime_error(r.message); });
        return true;
    }();
    (void)once;
    const char* text = reinterpret_cast<const char*>(data);
    try {
        TextPicture p = parse_text_picture("fuzz.asc", text, size);
        if (p.width < 0 || p.height < 1 || p.width > kTextPictureMaxSide || p.height > kTextPictureMaxSide)
            std::abort();
        if (p.chars.size() != static_cast<size_t>(p.width) * static_cast<size_t>(p.height)) std::abort();
        // Row by row, the lines come back: the text up to each line feed
        // (less a carriage return before it), then zeros.
        size_t start = 0;
        for (int row = 0; row < p.height; ++row) {
            const char* feed = static_cast<const char*>(std::memchr(text + start, '\n', size - start));
            size_t end = feed ? static_cast<size_t>(feed - text) : size;
            size_t length = end - start;
            if (feed && length > 0 && text[end - 1] == '\r') --length;
            if (length > static_cast<size_t>(p.width)) std::abort();
            if (length > 0 && std::memcmp(p.chars.data() + static_cast<size_t>(row) * p.width, text + start, length) != 0)
                std::abort();
            for (size_t c = length; c < static_cast<size_t>(p.width); ++c)
                if (p.at(row, static_cast<int>(c)) != 0) std::abort();
            start = end + 1;
        }
        if (start < size) std::abort();  // every line was a row
    } catch (const std::runtime_error&) {
        // A fatal error is a valid answer to a text that is no picture.
    }
    return 0;
}
