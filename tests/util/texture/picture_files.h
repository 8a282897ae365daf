// Test pictures written as PNG (libpng), JPEG (libjpeg) and BMP (by hand).
// Pixels are given as RGBA bytes, top row first, as a picture is seen.
#pragma once

#include <png.h>
#include <jpeglib.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace picture_files {

using Bytes = std::vector<uint8_t>;

struct Picture {
    int width = 0;
    int height = 0;
    Bytes rgba;  // top row first

    const uint8_t* at(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

inline void write_file(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

// Rows of packed samples, top row first, in any colour type and depth.
inline void write_png_rows(const std::string& path, int width, int depth, int colour_type,
                           const std::vector<Bytes>& rows) {
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) throw std::runtime_error("cannot write " + path);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(file);
        throw std::runtime_error("libpng failed on " + path);
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(rows.size()),
                 depth, colour_type, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (const Bytes& row : rows) png_write_row(png, const_cast<png_bytep>(row.data()));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    fclose(file);
}

// An 8-bit RGBA PNG.
inline void write_png(const std::string& path, const Picture& picture) {
    std::vector<Bytes> rows;
    for (int y = 0; y < picture.height; ++y)
        rows.emplace_back(picture.at(0, y), picture.at(0, y) + picture.width * 4);
    write_png_rows(path, picture.width, 8, PNG_COLOR_TYPE_RGB_ALPHA, rows);
}

// A JPEG of width x height with 1 (grey) or 3 (RGB) components a pixel;
// fill_row writes row y (top first). Full chroma keeps every pixel's colour.
inline Bytes encode_jpeg_rows(int width, int height, int components, int quality, bool full_chroma,
                              const std::function<void(int y, uint8_t* row)>& fill_row,
                              bool progressive = false) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(width);
    c.image_height = static_cast<JDIMENSION>(height);
    c.input_components = components;
    c.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    if (progressive) jpeg_simple_progression(&c);
    if (full_chroma)
        for (int i = 0; i < c.num_components; ++i) c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
    jpeg_start_compress(&c, TRUE);
    Bytes row(static_cast<size_t>(width) * components);
    while (c.next_scanline < c.image_height) {
        fill_row(static_cast<int>(c.next_scanline), row.data());
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    Bytes bytes(out, out + size);
    free(out);
    return bytes;
}

// Quality 100 without chroma subsampling; alpha is dropped.
inline Bytes encode_jpeg(const Picture& picture) {
    return encode_jpeg_rows(picture.width, picture.height, 3, 100, true, [&](int y, uint8_t* row) {
        for (int x = 0; x < picture.width; ++x)
            for (int k = 0; k < 3; ++k) row[static_cast<size_t>(x) * 3 + k] = picture.at(x, y)[k];
    });
}

// libjpeg's own RGB decode, three bytes a pixel, top row first; the size goes
// to width and height when they are given.
inline Bytes libjpeg_rgb(const Bytes& bytes, int* width = nullptr, int* height = nullptr) {
    jpeg_decompress_struct d;
    jpeg_error_mgr err;
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&d, TRUE);
    d.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d);
    if (width) *width = static_cast<int>(d.output_width);
    if (height) *height = static_cast<int>(d.output_height);
    Bytes rgb(static_cast<size_t>(d.output_width) * d.output_height * 3);
    while (d.output_scanline < d.output_height) {
        JSAMPROW row = rgb.data() + static_cast<size_t>(d.output_scanline) * d.output_width * 3;
        jpeg_read_scanlines(&d, &row, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    return rgb;
}

// What libjpeg itself decodes from the bytes, as an opaque picture.
inline Picture decode_jpeg(const Bytes& bytes) {
    Picture picture;
    const Bytes rgb = libjpeg_rgb(bytes, &picture.width, &picture.height);
    picture.rgba.resize(static_cast<size_t>(picture.width) * picture.height * 4);
    for (size_t i = 0; i < rgb.size() / 3; ++i) {
        uint8_t* p = &picture.rgba[i * 4];
        p[0] = rgb[i * 3];
        p[1] = rgb[i * 3 + 1];
        p[2] = rgb[i * 3 + 2];
        p[3] = 255;
    }
    return picture;
}

// 24-bit uncompressed, bottom row first, rows padded to 4 bytes; alpha is
// dropped.
inline Bytes encode_bmp(const Picture& picture) {
    const uint32_t row = (static_cast<uint32_t>(picture.width) * 3 + 3) & ~3u;
    const uint32_t image_size = row * static_cast<uint32_t>(picture.height);
    Bytes b(54 + image_size, 0);
    auto put32 = [&b](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, static_cast<uint32_t>(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(picture.width));
    put32(22, static_cast<uint32_t>(picture.height));
    b[26] = 1;
    b[28] = 24;
    put32(34, image_size);
    for (int y = 0; y < picture.height; ++y) {
        uint8_t* out = &b[54 + static_cast<size_t>(picture.height - 1 - y) * row];
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* p = picture.at(x, y);
            out[x * 3] = p[2];
            out[x * 3 + 1] = p[1];
            out[x * 3 + 2] = p[0];
        }
    }
    return b;
}

// The same picture without its alpha.
inline Picture opaque(Picture picture) {
    for (size_t i = 3; i < picture.rgba.size(); i += 4) picture.rgba[i] = 255;
    return picture;
}

}  // namespace picture_files

namespace picture_files {

// A 16-bit RGB PNG of one grey level: decodable, but not an 8-bit picture.
inline void write_png_rgb16(const std::string& path, int width, int height) {
    write_png_rows(path, width, 16, PNG_COLOR_TYPE_RGB,
                   std::vector<Bytes>(static_cast<size_t>(height), Bytes(static_cast<size_t>(width) * 6, 0x80)));
}

// The JPEG with its frame header claiming width x height (its data stays
// that of the real, smaller picture).
inline Bytes jpeg_claiming(Bytes file, unsigned width, unsigned height) {
    for (size_t i = 0; i + 9 < file.size(); ++i)
        if (file[i] == 0xFF && (file[i + 1] == 0xC0 || file[i + 1] == 0xC2)) {
            file[i + 5] = static_cast<uint8_t>(height >> 8), file[i + 6] = static_cast<uint8_t>(height);
            file[i + 7] = static_cast<uint8_t>(width >> 8), file[i + 8] = static_cast<uint8_t>(width);
            return file;
        }
    throw std::runtime_error("no JPEG frame header");
}

// A picture of one colour.
inline Picture solid(int width, int height, uint8_t r, uint8_t g, uint8_t b) {
    Picture picture{width, height, {}};
    for (int i = 0; i < width * height; ++i) picture.rgba.insert(picture.rgba.end(), {r, g, b, 255});
    return picture;
}

}  // namespace picture_files
