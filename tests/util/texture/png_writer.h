// Test helpers: PNG pictures written and read by libpng, in memory.
#pragma once

#include <png.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <stdexcept>
#include <vector>

namespace png_test {

using Bytes = std::vector<uint8_t>;

struct PngSpec {
    int width = 8, height = 8;
    int colour = PNG_COLOR_TYPE_RGB_ALPHA, depth = 8;
    int interlace = PNG_INTERLACE_NONE;
    int filters = PNG_ALL_FILTERS;
    int level = 6;
    int strategy = 0;  // Z_DEFAULT_STRATEGY
    int window_bits = 15;
    size_t buffer_size = 8192;  // IDAT chunk size
    int palette_size = 16;
    int trns = 0;  // 0 none; >0 a colour key from the first pixel, or that many palette alphas
    uint32_t seed = 1;
    bool smooth = false;  // photo-like gradients instead of noise
};

inline int channels(int colour) {
    switch (colour) {
        case PNG_COLOR_TYPE_GRAY: return 1;
        case PNG_COLOR_TYPE_RGB: return 3;
        case PNG_COLOR_TYPE_PALETTE: return 1;
        case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
        default: return 4;
    }
}

// Packed scanlines as the file holds them (before filtering).
inline std::vector<Bytes> make_rows(const PngSpec& s) {
    std::mt19937 rng(s.seed);
    const int bpp = channels(s.colour) * s.depth;
    const size_t row_bytes = (static_cast<size_t>(s.width) * bpp + 7) / 8;
    std::vector<Bytes> rows(static_cast<size_t>(s.height), Bytes(row_bytes, 0));
    for (int y = 0; y < s.height; ++y) {
        Bytes& row = rows[static_cast<size_t>(y)];
        if (s.colour == PNG_COLOR_TYPE_PALETTE) {
            const int per_byte = 8 / s.depth;
            for (int x = 0; x < s.width; ++x) {
                unsigned index = rng() % static_cast<unsigned>(s.palette_size);
                if (s.depth == 8) row[static_cast<size_t>(x)] = static_cast<uint8_t>(index);
                else row[static_cast<size_t>(x / per_byte)] |=
                    static_cast<uint8_t>(index << (8 - s.depth * (x % per_byte + 1)));
            }
        } else if (s.smooth) {
            for (size_t i = 0; i < row_bytes; ++i)
                row[i] = static_cast<uint8_t>((i * 3 + static_cast<size_t>(y) * 2) / 5 + rng() % 4);
        } else {
            for (auto& b : row) b = static_cast<uint8_t>(rng());
        }
    }
    return rows;
}

inline Bytes write_png(const PngSpec& s) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    Bytes out;
    std::vector<Bytes> rows = make_rows(s);
    std::vector<png_bytep> pointers;
    for (auto& r : rows) pointers.push_back(r.data());
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("libpng failed to write");
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t n) {
            auto* o = static_cast<Bytes*>(png_get_io_ptr(p));
            o->insert(o->end(), data, data + n);
        },
        nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(s.width), static_cast<png_uint_32>(s.height), s.depth,
                 s.colour, s.interlace, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::mt19937 rng(s.seed + 1000);
    std::vector<png_color> palette;
    Bytes alphas;
    png_color_16 key{};
    if (s.colour == PNG_COLOR_TYPE_PALETTE) {
        for (int i = 0; i < s.palette_size; ++i)
            palette.push_back({static_cast<png_byte>(rng()), static_cast<png_byte>(rng()),
                               static_cast<png_byte>(rng())});
        png_set_PLTE(png, info, palette.data(), s.palette_size);
        if (s.trns > 0) {
            for (int i = 0; i < s.trns; ++i) alphas.push_back(static_cast<uint8_t>(rng()));
            png_set_tRNS(png, info, alphas.data(), s.trns, nullptr);
        }
    } else if (s.trns > 0 && (s.colour == PNG_COLOR_TYPE_GRAY || s.colour == PNG_COLOR_TYPE_RGB)) {
        // The key is the first pixel's value, so that some pixels match.
        const Bytes& r = rows[0];
        if (s.colour == PNG_COLOR_TYPE_GRAY) {
            key.gray = s.depth == 1 ? static_cast<png_uint_16>(r[0] >> 7) : r[0];
        } else if (s.depth == 8) {
            key.red = r[0], key.green = r[1], key.blue = r[2];
        } else {
            key.red = static_cast<png_uint_16>(r[0] << 8 | r[1]);
            key.green = static_cast<png_uint_16>(r[2] << 8 | r[3]);
            key.blue = static_cast<png_uint_16>(r[4] << 8 | r[5]);
        }
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_set_filter(png, 0, s.filters);
    png_set_compression_level(png, s.level);
    png_set_compression_strategy(png, s.strategy);
    png_set_compression_window_bits(png, s.window_bits);
    png_set_compression_buffer_size(png, s.buffer_size);
    png_write_info(png, info);
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

struct Decoded {
    int width = 0, height = 0;
    Bytes rgba;  // top row first
};

// libpng's reading, expanded to 8-bit RGBA.
inline Decoded read_png_rgba(const Bytes& file) {
    struct Reader {
        const Bytes* data;
        size_t pos;
    } reader{&file, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    Decoded d;
    std::vector<png_bytep> pointers;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        throw std::runtime_error("libpng failed to read");
    }
    png_set_read_fn(png, &reader, [](png_structp p, png_bytep out, png_size_t n) {
        auto* r = static_cast<Reader*>(png_get_io_ptr(p));
        if (r->pos + n > r->data->size()) png_error(p, "read past the end");
        std::memcpy(out, r->data->data() + r->pos, n);
        r->pos += n;
    });
    png_read_info(png, info);
    const int colour = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);
    if (colour == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colour == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    d.width = static_cast<int>(png_get_image_width(png, info));
    d.height = static_cast<int>(png_get_image_height(png, info));
    const size_t row = png_get_rowbytes(png, info);
    if (row != static_cast<size_t>(d.width) * 4) png_error(png, "not RGBA8");
    d.rgba.resize(row * static_cast<size_t>(d.height));
    for (int y = 0; y < d.height; ++y) pointers.push_back(d.rgba.data() + row * static_cast<size_t>(y));
    png_read_image(png, pointers.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return d;
}

}  // namespace png_test
