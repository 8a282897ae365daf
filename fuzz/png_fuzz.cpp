// The PNG decoder on arbitrary bytes: no crash, no hang, no uninitialised
// or out-of-bounds access; an accepted picture has all its bytes defined.
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

#include "system/fatal.h"
#include "util/texture/png_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool once = [] {
        fatal::set_handler([](const fatal::Report& r) { throw std::runtime_error(r.message); });
        ZqRawPngDecoder::max_side = 2048;
        return true;
    }();
    (void)once;
    try {
        ZqRawPngDecoder decoder;
        int result = decoder.decode(data, static_cast<uint32_t>(size));
        if (result != 1 && result != -1) std::abort();
        if (decoder.width > 0) {
            if (!decoder.rgba || decoder.height <= 0) std::abort();
            decoder.flip_rows();
            unsigned sum = 0;
            const size_t bytes = static_cast<size_t>(decoder.width) * static_cast<size_t>(decoder.height) * 4;
            for (size_t i = 0; i < bytes; i += 61) sum += decoder.rgba[i];
            if (sum == 0xFFFFFFFFu) std::abort();  // keeps the reads
        }
    } catch (const std::runtime_error&) {
        // A fatal error is a valid answer to bad input.
    }
    return 0;
}
