#include "util/texture/bmp_loader.h"

#include <cstdlib>

#include "util/data/data.h"
#include "util/texture/picture_size.h"

namespace {

uint32_t le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

}  // namespace

int Image::read_bmp(const char* name) {
    int32_t length = 0;
    char* bytes = DataFile::load(name, "rb", &length, false, false);
    if (!bytes) return bmp::Unreadable;
    const int result = read_bmp_buffer(reinterpret_cast<const uint8_t*>(bytes), static_cast<size_t>(length));
    std::free(bytes);
    return result;
}

int Image::read_bmp_buffer(const uint8_t* data, size_t length) {
    auto refuse = [this](int code, std::string why) {
        refusal = std::move(why);
        return code;
    };
    refusal.clear();
    // The file header (14 bytes), the info header (40) and 4 bytes more.
    if (length < 14 || length - 14 < 44) return refuse(bmp::TooShort, "file too short for its headers");
    const uint32_t off_bits = le32(data + 10);
    const int32_t bi_width = static_cast<int32_t>(le32(data + 18));
    const int32_t bi_height = static_cast<int32_t>(le32(data + 22));
    const uint16_t bit_count = le16(data + 28);
    const uint32_t compression = le32(data + 30);
    const uint32_t size_image = le32(data + 34);
    const uint32_t clr_used = le32(data + 46);
    const uint32_t clr_important = le32(data + 50);

    if (bit_count != 24 || compression != 0 || (clr_used != 0 && clr_important != 0))
        return refuse(bmp::Unsupported, "not an uncompressed 24-bit picture");
    const int64_t h = bi_height < 0 ? -static_cast<int64_t>(bi_height) : bi_height;
    if (bi_width <= 0 || h == 0)
        return refuse(bmp::Unsupported, "picture of " + std::to_string(bi_width) + "x" + std::to_string(h) +
                                            " has no pixels");
    // Before any arithmetic on the size, which this also keeps from
    // overflowing.
    if (picture_size::too_large(bi_width, h, max_side))
        return refuse(bmp::Unsupported, picture_size::too_large_reason(bi_width, h));
    if (off_bits >= length) return refuse(bmp::DataMissing, "pixel data offset beyond the end of the file");

    const int64_t w = bi_width;
    const int64_t row_bytes = w * 3;
    int64_t pad = (static_cast<int64_t>(size_image) - row_bytes * h) / h;
    if (size_image == 0 || pad < 0) pad = (4 - row_bytes % 4) % 4;

    // Where would the data run out? Inside a pixel: 4; in a row's padding: 3.
    const int64_t available = static_cast<int64_t>(length - off_bits);
    const int64_t stride = row_bytes + pad;
    if (available / stride < h) {
        const int64_t rest = available % stride;
        return rest < row_bytes ? refuse(bmp::TooShort, "file ends inside a pixel")
                                : refuse(bmp::DataMissing, "file ends inside a row's padding");
    }

    resize(bi_width, static_cast<int32_t>(h));
    const uint8_t* p = data + off_bits;
    const bool top_down = bi_height < 0;
    for (int32_t r = 0; r < height; ++r, p += pad) {
        const int32_t row = top_down ? r : height - 1 - r;
        for (int32_t col = 0; col < width; ++col, p += 3) set_pixel(row, col, p[2], p[0], p[1]);
    }
    return bmp::Read;
}
