// An intermediate picture for the JPEG and BMP readers: colour pixels as
// three ints in the order red, blue, green, row 0 at the top.
//
// What a texture takes from it after read_jpeg / read_bmp succeeded:
// get_width() x get_height() (both > 0) and to_rgba(): width * height * 4
// bytes from malloc (the caller frees them), 8-bit red, green, blue, 255,
// bottom row first (the GL upload order); the format is always RGBA8.
// Nothing here needs a GL context.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class Image {
public:
    // Largest width or height read (the GL texture limit here); the fuzz
    // targets lower it to stay within their memory limit.
    static int32_t max_side;

    explicit Image(int32_t channels);

    int32_t get_channels() const { return channels; }
    int32_t get_width() const { return width; }
    int32_t get_height() const { return height; }

    // Pixels for the current width and height (none when either is 0).
    void alloc_pixels(int32_t channels);
    void free_pixels(int32_t channels);

    // Ignored outside the picture. Three channels: (red, blue, green).
    void set_pixel(int32_t row, int32_t col, int32_t first, int32_t second, int32_t third);
    // The colour pixel at (row, col): red, blue, green.
    const int32_t* colour_pixel(int32_t row, int32_t col) const;
    int32_t grey_pixel(int32_t row, int32_t col) const;

    // JPEG through libjpeg. False when the file cannot be read; a picture
    // libjpeg cannot decode ends the run with "Failed reading <name>: " and
    // libjpeg's message.
    bool read_jpeg(const char* name);
    bool read_jpeg_buffer(const uint8_t* data, size_t length, const std::string& name);

    // Uncompressed 24-bit BMP; see bmp_loader.h for the result codes.
    int read_bmp(const char* name);
    int read_bmp_buffer(const uint8_t* data, size_t length);
    // Why the last read_bmp_buffer refused its file (codes 2 to 4), for the
    // message the run ends with; empty after a read.
    const std::string& get_refusal() const { return refusal; }

    // width * height * 4 bytes from malloc, bottom row first, alpha 255;
    // null when the allocation fails or there are no pixels.
    uint8_t* to_rgba() const;

private:
    // Replaces the pixels by a new w x h picture.
    void resize(int32_t w, int32_t h);

    int32_t width = 0;
    int32_t height = 0;
    int32_t channels;
    std::string refusal;
    std::vector<int32_t> colour;  // width * height * 3
    std::vector<int32_t> grey;    // width * height
};
