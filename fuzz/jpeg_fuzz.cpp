// The JPEG reader on arbitrary bytes: no crash, no out-of-bounds or
// uninitialised access, and no file that makes the library allocate for the
// size it merely claims; a picture it reads converts to RGBA.
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

#include "system/fatal.h"
#include "util/texture/image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool once = [] {
        fatal::set_handler([](const fatal::Report& r) { throw std::runtime_error(r.message); });
        // A real 2048 x 2048 picture stays well inside the fuzzer's memory
        // limit; the program's own limit is the GL texture size.
        Image::max_side = 2048;
        return true;
    }();
    (void)once;
    try {
        Image image(3);
        if (!image.read_jpeg_buffer(data, size, "data/fuzz.jpg")) std::abort();
        if (image.get_width() <= 0 || image.get_height() <= 0) std::abort();
        uint8_t* rgba = image.to_rgba();
        if (!rgba) std::abort();
        unsigned sum = 0;
        const size_t bytes = static_cast<size_t>(image.get_width()) * static_cast<size_t>(image.get_height()) * 4;
        for (size_t i = 0; i < bytes; i += 61) sum += rgba[i];
        std::free(rgba);
        if (sum == 0xFFFFFFFFu) std::abort();  // keeps the reads
    } catch (const std::runtime_error&) {
        // A fatal error is a valid answer to bad input.
    }
    return 0;
}
