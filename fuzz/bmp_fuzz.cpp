// The BMP reader on arbitrary bytes: no crash, no out-of-bounds access, a
// result code from 0 to 4, and a read picture converts to RGBA.
#include <cstdint>
#include <cstdlib>

#include "util/texture/bmp_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Image image(3);
    const int result = image.read_bmp_buffer(data, size);
    if (result < 0 || result > 4) std::abort();
    if (result == 0) {
        if (image.get_width() <= 0 || image.get_height() <= 0) std::abort();
        uint8_t* rgba = image.to_rgba();
        if (!rgba) std::abort();
        std::free(rgba);
    }
    return 0;
}
