#include "util/texture/png_loader.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "system/fatal.h"
#include "util/data/data.h"
#include "util/texture/inflate.h"
#include "util/texture/picture_size.h"

uint32_t png_read_be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

namespace {

int32_t read_be16(const uint8_t* p) { return p[0] << 8 | p[1]; }

bool chunk_is(const uint8_t* type, const char* name) { return std::memcmp(type, name, 4) == 0; }

const uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

}  // namespace

void PngHeader::read(const uint8_t* data) {
    width = static_cast<int32_t>(png_read_be32(data));
    height = static_cast<int32_t>(png_read_be32(data + 4));
    bit_depth = data[8];
    colour_type = data[9];
    compression = data[10];
    filter = data[11];
    interlace = data[12];
}

bool PngPalette::set(const uint8_t* data, uint32_t length) {
    if (length % 3 != 0) return false;
    rgb.assign(data, data + length);
    count = static_cast<int32_t>(length / 3);
    return true;
}

int png_paeth(int a, int b, int c) {
    int p = a + b - c;
    int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    if (pb <= pc) return b;
    return c;
}

void png_unfilter(int filter, uint8_t* line, const uint8_t* previous, size_t length, size_t n) {
    size_t first = n < length ? n : length;  // bytes of the first pixel
    switch (filter) {
        case 1:
            for (size_t i = n; i < length; ++i) line[i] = static_cast<uint8_t>(line[i] + line[i - n]);
            break;
        case 2:
            for (size_t i = 0; i < length; ++i) line[i] = static_cast<uint8_t>(line[i] + previous[i]);
            break;
        case 3:
            for (size_t i = 0; i < first; ++i) line[i] = static_cast<uint8_t>(line[i] + (previous[i] >> 1));
            for (size_t i = n; i < length; ++i)
                line[i] = static_cast<uint8_t>(line[i] + ((line[i - n] + previous[i]) >> 1));
            break;
        case 4:
            for (size_t i = 0; i < first; ++i) line[i] = static_cast<uint8_t>(line[i] + previous[i]);
            for (size_t i = n; i < length; ++i)
                line[i] = static_cast<uint8_t>(line[i] + png_paeth(line[i - n], previous[i], previous[i - n]));
            break;
        default:  // None, and unknown types
            break;
    }
}

// ---------------------------------------------------------------------------
// Chunks

ZqGenericPngDecoder::ZqGenericPngDecoder() : transparent{INT_MAX, INT_MAX, INT_MAX} {}

bool ZqGenericPngDecoder::write_bytes(const uint8_t* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (write_byte(bytes[i]) != 1) return false;
    return true;
}

void ZqGenericPngDecoder::read_trns(const uint8_t* data, uint32_t length) {
    switch (header.colour_type) {
        case 0:
            if (length >= 2) transparent[0] = read_be16(data);
            break;
        case 2:
            if (length >= 6)
                for (int i = 0; i < 3; ++i) transparent[i] = read_be16(data + 2 * i);
            break;
        case 3:
            trns_alpha.assign(data, data + length);
            break;
        default:
            break;
    }
}

int ZqGenericPngDecoder::inflate(uint32_t length, const uint8_t* data) {
    return inflate_zlib(data, length, [this](const uint8_t* bytes, size_t count) { return write_bytes(bytes, count); });
}

int ZqGenericPngDecoder::decode(const uint8_t* buffer, uint32_t length) {
    failure.clear();
    if (!buffer || length < 8 || std::memcmp(buffer, kSignature, 8) != 0) {
        failure = "no PNG signature";
        return -1;
    }

    std::vector<uint8_t> joined;
    uint32_t pos = 8;
    for (;;) {
        // Length and type, the data, then the CRC (read, not checked). The
        // length is compared with what is left, never added to the position
        // first.
        if (length - pos < 8) break;
        const uint32_t chunk_length = png_read_be32(buffer + pos);
        const uint8_t* type = buffer + pos + 4;
        pos += 8;
        if (chunk_length > length - pos) break;
        const uint8_t* data = buffer + pos;
        pos += chunk_length;
        if (length - pos < 4) break;
        pos += 4;

        if (chunk_is(type, "IEND")) break;
        if (chunk_length == 0) continue;
        if (chunk_is(type, "IHDR")) {
            if (chunk_length > 12) header.read(data);
        } else if (chunk_is(type, "PLTE")) {
            if (!palette.set(data, chunk_length)) {
                failure = "palette of " + std::to_string(chunk_length) + " bytes, not a multiple of 3";
                return -1;
            }
        } else if (chunk_is(type, "tRNS")) {
            read_trns(data, chunk_length);
        } else if (chunk_is(type, "gAMA")) {
            if (chunk_length >= 4) gamma = static_cast<int32_t>(png_read_be32(data));
        } else if (chunk_is(type, "IDAT")) {
            if (joined.empty()) joined.reserve(length);
            joined.insert(joined.end(), data, data + chunk_length);
        }
    }

    if (begin_image() == 1) {
        inflate(static_cast<uint32_t>(joined.size()), joined.data());
        end_image();
    }
    return 1;
}

int ZqGenericPngDecoder::decode_file(const char* name) {
    int32_t length = 0;
    char* bytes = DataFile::load(name, "rb", &length, false, false);
    if (!bytes) {
        failure = DataFile::absence_reason(name);
        return -1;
    }
    int result = decode(reinterpret_cast<const uint8_t*>(bytes), static_cast<uint32_t>(length));
    std::free(bytes);
    return result;
}

// ---------------------------------------------------------------------------
// Scanlines to RGBA

int32_t ZqRawPngDecoder::max_side = 16384;

namespace {

struct Adam7Pass {
    int first_column, column_step, first_row, row_step;
};
const Adam7Pass kPasses[8] = {
    {0, 1, 0, 1},  // 0: not interlaced
    {0, 8, 0, 8}, {4, 8, 0, 8}, {0, 4, 4, 8}, {2, 4, 0, 4}, {0, 2, 2, 4}, {1, 2, 0, 2}, {0, 1, 1, 2},
};

// Colour type and depth → bits per pixel, or 0 when not accepted.
int accepted_bits_per_pixel(int colour_type, int depth) {
    switch (colour_type) {
        case 0: return depth == 1 || depth == 8 ? depth : 0;
        case 2: return depth == 8 || depth == 16 ? 3 * depth : 0;
        case 3: return depth == 4 || depth == 8 ? depth : 0;
        case 4: return depth == 8 ? 16 : 0;
        case 6: return depth == 8 ? 32 : 0;
        default: return 0;
    }
}

}  // namespace

ZqRawPngDecoder::~ZqRawPngDecoder() { release(); }

void ZqRawPngDecoder::release() {
    if (owns_rgba == 1 && rgba) std::free(rgba);
    rgba = nullptr;
}

int ZqRawPngDecoder::begin_image() {
    // A missing IHDR leaves the size 0. The size is judged before anything
    // is allocated for it, which also keeps every byte count from
    // overflowing.
    if (header.width == 0 && header.height == 0) {
        failure = "no picture header (IHDR chunk)";
        return 0;
    }
    if (header.width <= 0 || header.height <= 0) {
        failure = "picture of " + std::to_string(header.width) + "x" + std::to_string(header.height) +
                  " has no pixels";
        return 0;
    }
    const int bpp = accepted_bits_per_pixel(header.colour_type, header.bit_depth);
    if (bpp == 0) {
        failure = "colour type " + std::to_string(header.colour_type) + " at bit depth " +
                  std::to_string(header.bit_depth) + " is not read";
        return 0;
    }
    if (picture_size::too_large(header.width, header.height, max_side)) {
        failure = picture_size::too_large_reason(header.width, header.height);
        return 0;
    }

    release();
    owns_rgba = 1;
    width = header.width;
    height = header.height;
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    rgba = static_cast<uint8_t*>(std::calloc(bytes, 1));  // unreached pixels stay transparent black
    if (!rgba) FATAL_ERROR("Failed to allocate png image of " << width << "x" << height);

    bits_per_pixel = bpp;
    pixel_bytes = bpp >= 8 ? static_cast<size_t>(bpp / 8) : 1;
    const size_t full_line = (static_cast<size_t>(width) * static_cast<size_t>(bpp) + 7) / 8;
    lines.assign(2 * full_line, 0);
    current_line = lines.data();
    previous_line = lines.data() + full_line;

    x = -1;
    filter = 0;
    line_pos = 0;
    done = false;
    start_pass(header.interlace == 1 ? 1 : 0);
    return 1;
}

// Makes `p` (or the first later pass that has pixels) current; false and
// done when no pass is left.
bool ZqRawPngDecoder::start_pass(int p) {
    for (; p <= 7; ++p) {
        const Adam7Pass& a = kPasses[p];
        const int32_t columns = (width - a.first_column + a.column_step - 1) / a.column_step;
        const int32_t rows = (height - a.first_row + a.row_step - 1) / a.row_step;
        if (columns > 0 && rows > 0) {
            pass = p;
            pass_columns = columns;
            pass_rows = rows;
            first_column = a.first_column;
            column_step = a.column_step;
            first_row = a.first_row;
            row_step = a.row_step;
            line_length = (static_cast<size_t>(columns) * static_cast<size_t>(bits_per_pixel) + 7) / 8;
            y = 0;
            std::memset(previous_line, 0, line_length);
            return true;
        }
        if (p == 0) break;  // a plain picture has one pass only
    }
    done = true;
    return false;
}

bool ZqRawPngDecoder::write_bytes(const uint8_t* bytes, size_t count) {
    while (count > 0) {
        if (done) return false;
        if (x == -1) {
            filter = *bytes++;
            --count;
            x = 0;
            line_pos = 0;
            // Interlace methods other than 0 and 1 are not known: nothing
            // after the first filter byte is taken.
            if (header.interlace > 1) done = true;
            continue;
        }
        size_t take = line_length - line_pos;
        if (take > count) take = count;
        std::memcpy(current_line + line_pos, bytes, take);
        line_pos += take;
        bytes += take;
        count -= take;
        if (line_pos == line_length) finish_line();
    }
    return true;
}

void ZqRawPngDecoder::finish_line() {
    png_unfilter(filter, current_line, previous_line, line_length, pixel_bytes);
    convert_pixels(current_line, pass_columns);
    std::swap(current_line, previous_line);
    x = -1;
    if (++y == pass_rows) {
        if (pass == 0) done = true;
        else start_pass(pass + 1);
    }
}

int ZqRawPngDecoder::end_image() {
    // A scanline cut short: its complete pixels are shown, as they would be
    // had they been decoded one by one.
    if (!done && x == 0 && line_pos > 0 && header.interlace <= 1) {
        png_unfilter(filter, current_line, previous_line, line_pos, pixel_bytes);
        const size_t bits = line_pos * 8;
        size_t pixels = bits_per_pixel >= 8 ? line_pos / pixel_bytes : bits / static_cast<size_t>(bits_per_pixel);
        if (pixels > static_cast<size_t>(pass_columns)) pixels = static_cast<size_t>(pass_columns);
        convert_pixels(current_line, static_cast<int32_t>(pixels));
    }
    done = true;
    return 1;
}

// Converts the first `count` pixels of an unfiltered scanline of the current
// pass into rgba.
void ZqRawPngDecoder::convert_pixels(const uint8_t* line, int32_t count) {
    const size_t row = static_cast<size_t>(first_row) + static_cast<size_t>(y) * static_cast<size_t>(row_step);
    uint8_t* out = rgba + (row * static_cast<size_t>(width) + static_cast<size_t>(first_column)) * 4;
    const size_t step = static_cast<size_t>(column_step) * 4;
    const int32_t t0 = transparent[0], t1 = transparent[1], t2 = transparent[2];

    switch (header.colour_type * 100 + header.bit_depth) {
        case 1: {  // grey, 1 bit
            for (int32_t i = 0; i < count; ++i, out += step) {
                const int bit = (line[i >> 3] >> (7 - (i & 7))) & 1;
                out[0] = out[1] = out[2] = static_cast<uint8_t>(255 * bit);
                out[3] = bit == t0 ? 0 : 255;
            }
            break;
        }
        case 8: {  // grey
            for (int32_t i = 0; i < count; ++i, out += step) {
                const int g = line[i];
                out[0] = out[1] = out[2] = static_cast<uint8_t>(g);
                out[3] = (g == t0 || g == t1 || g == t2) ? 0 : 255;
            }
            break;
        }
        case 208: {  // RGB
            for (int32_t i = 0; i < count; ++i, out += step, line += 3) {
                out[0] = line[0];
                out[1] = line[1];
                out[2] = line[2];
                out[3] = line[0] == t0 && line[1] == t1 && line[2] == t2 ? 0 : 255;
            }
            break;
        }
        case 216: {  // RGB, 16 bits: the high bytes; the key compares all 16
            for (int32_t i = 0; i < count; ++i, out += step, line += 6) {
                out[0] = line[0];
                out[1] = line[2];
                out[2] = line[4];
                const bool key = read_be16(line) == t0 && read_be16(line + 2) == t1 && read_be16(line + 4) == t2;
                out[3] = key ? 0 : 255;
            }
            break;
        }
        case 304:
        case 308: {  // palette, 4 or 8 bits
            const bool nibbles = header.bit_depth == 4;
            const size_t alphas = trns_alpha.size();
            for (int32_t i = 0; i < count; ++i, out += step) {
                const int index = nibbles ? (line[i >> 1] >> ((i & 1) ? 0 : 4)) & 15 : line[i];
                if (index >= palette.count) continue;  // nothing is written
                const uint8_t* entry = &palette.rgb[static_cast<size_t>(index) * 3];
                out[0] = entry[0];
                out[1] = entry[1];
                out[2] = entry[2];
                out[3] = static_cast<size_t>(index) < alphas ? trns_alpha[static_cast<size_t>(index)] : 255;
            }
            break;
        }
        case 408: {  // grey with alpha
            for (int32_t i = 0; i < count; ++i, out += step, line += 2) {
                out[0] = out[1] = out[2] = line[0];
                out[3] = line[1];
            }
            break;
        }
        case 608: {  // RGBA
            if (step == 4) {
                std::memcpy(out, line, static_cast<size_t>(count) * 4);
            } else {
                for (int32_t i = 0; i < count; ++i, out += step, line += 4) std::memcpy(out, line, 4);
            }
            break;
        }
        default:
            break;
    }
}

void ZqRawPngDecoder::flip_rows() {
    if (!rgba) return;
    const size_t row = static_cast<size_t>(width) * 4;
    std::vector<uint8_t> tmp(row);
    for (int32_t i = 0; i < height / 2; ++i) {
        uint8_t* a = rgba + static_cast<size_t>(i) * row;
        uint8_t* b = rgba + static_cast<size_t>(height - 1 - i) * row;
        std::memcpy(tmp.data(), a, row);
        std::memcpy(a, b, row);
        std::memcpy(b, tmp.data(), row);
    }
}
