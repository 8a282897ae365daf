// The program's own PNG decoder.
//
// ZqGenericPngDecoder reads the chunks of a PNG held in memory, keeps the
// header, palette and transparency, joins the IDAT data and inflates it,
// handing the decompressed bytes to its virtual sink between begin_image and
// end_image. ZqRawPngDecoder turns those bytes into one RGBA picture.
//
// What a texture (or any other user) takes from a ZqRawPngDecoder after
// decode() returned 1:
//   - width > 0 (and height > 0) when the picture was accepted; both stay 0
//     for a refused colour type / bit depth, a missing IHDR or a size
//     outside 1..max_side or above picture_size::kMaxPixels; `failure`
//     then says which.
//   - rgba: width * height * 4 bytes, 8-bit red, green, blue, alpha, rows
//     top first; flip_rows() turns them bottom first (the GL upload order).
//     The format is always RGBA8 whatever the file's depth (1-bit grey,
//     4-bit palette and 16-bit RGB are converted); header.bit_depth tells
//     what the file held. Pixels the data never reached (damaged or
//     truncated data, a palette index past the palette) are 0, i.e.
//     transparent black.
//   - Ownership: rgba comes from malloc. To keep it, set owns_rgba = 0 and
//     release it later with free(); otherwise the decoder frees it.
// Accepted pictures: grey 1/8, RGB 8/16, palette 4/8, grey+alpha 8, RGBA 8;
// interlaced (Adam7) or not. CRCs and chunk order are not checked.
// Nothing here needs a GL context.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

uint32_t png_read_be32(const uint8_t* p);

// The IHDR fields.
struct PngHeader {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bit_depth = 0;
    int32_t colour_type = 0;
    int32_t compression = 0;  // stored, not examined
    int32_t filter = 0;       // stored, not examined
    int32_t interlace = 0;
    void read(const uint8_t* data);  // 13 bytes
};

struct PngPalette {
    int32_t count = 0;         // entries
    std::vector<uint8_t> rgb;  // three bytes per entry
    // False when the length is not a multiple of 3.
    bool set(const uint8_t* data, uint32_t length);
};

// The Paeth predictor of the PNG standard (ties go to a, then b).
int png_paeth(int a, int b, int c);

// Undoes filter `filter` over the first `length` bytes of a scanline.
// `previous` is the previous scanline of the picture or pass (all zeros for
// the first), `pixel_bytes` the bytes of one complete pixel (at least 1).
// Filter types above 4 leave the bytes unchanged.
void png_unfilter(int filter, uint8_t* line, const uint8_t* previous, size_t length, size_t pixel_bytes);

class ZqGenericPngDecoder {
public:
    ZqGenericPngDecoder();
    virtual ~ZqGenericPngDecoder() = default;
    ZqGenericPngDecoder(const ZqGenericPngDecoder&) = delete;
    ZqGenericPngDecoder& operator=(const ZqGenericPngDecoder&) = delete;

    // The sink. A result of 1 means go on.
    virtual int begin_image() { return 1; }
    virtual int write_byte(uint8_t) { return 1; }
    virtual int end_image() { return 1; }
    // A run of decompressed bytes; by default each goes to write_byte, and
    // the first result other than 1 stops (false). Decoders that can take
    // whole runs override this.
    virtual bool write_bytes(const uint8_t* bytes, size_t count);

    // 1 when the chunks were read (whatever the picture data held), -1 for a
    // missing or wrong signature or a PLTE chunk whose length is not a
    // multiple of 3.
    int decode(const uint8_t* buffer, uint32_t length);
    // The same for a file read through the data layer; -1 also when the file
    // cannot be read.
    int decode_file(const char* name);
    // Inflates the joined picture data into the sink (1 complete, 0 not).
    int inflate(uint32_t length, const uint8_t* data);

    PngHeader header;
    PngPalette palette;
    int32_t transparent[3];            // tRNS colour key; INT_MAX when unset
    std::vector<uint8_t> trns_alpha;   // a palette picture's tRNS alpha bytes
    int32_t gamma = 100000;            // gAMA in 1/100000; changes no pixel
    // Why decode gave -1 or no picture, for the message; empty otherwise.
    std::string failure;

private:
    void read_trns(const uint8_t* data, uint32_t length);
};

class ZqRawPngDecoder : public ZqGenericPngDecoder {
public:
    // Largest accepted width or height (the GL texture limit here).
    static int32_t max_side;

    ZqRawPngDecoder() = default;
    ~ZqRawPngDecoder() override;

    int begin_image() override;
    int write_byte(uint8_t b) override { return write_bytes(&b, 1) ? 1 : 0; }
    bool write_bytes(const uint8_t* bytes, size_t count) override;
    int end_image() override;

    // Reverses the order of the rows of rgba.
    void flip_rows();

    int32_t width = 0;
    int32_t height = 0;
    uint8_t* rgba = nullptr;
    int32_t owns_rgba = 1;

private:
    bool start_pass(int pass);
    void finish_line();
    void convert_pixels(const uint8_t* line, int32_t count);
    void release();

    // Scanline state.
    int32_t filter = 0;
    int32_t x = -1;            // -1 while the filter byte is awaited, else 0
    int32_t y = 0;             // scanline within the picture or pass
    size_t line_pos = 0;       // bytes of the current scanline received
    int32_t pass = 0;          // 0 for a plain picture, 1..7 for Adam7
    bool done = false;         // no byte is wanted any more
    int32_t bits_per_pixel = 0;
    size_t pixel_bytes = 1;    // filter distance
    // The current pass: columns and rows, where they land in the picture.
    int32_t pass_columns = 0, pass_rows = 0;
    int32_t first_column = 0, column_step = 1, first_row = 0, row_step = 1;
    size_t line_length = 0;    // packed bytes of one scanline of the pass
    std::vector<uint8_t> lines;  // current and previous scanline
    uint8_t* current_line = nullptr;
    uint8_t* previous_line = nullptr;
};
