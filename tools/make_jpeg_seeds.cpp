// Writes the seed pictures of the JPEG fuzz target into fuzz/corpus/jpeg/
// (run from the repository root):
//   c++ -std=c++17 tools/make_jpeg_seeds.cpp -ljpeg -o /tmp/seeds && /tmp/seeds
// Small pictures in every coding the library reads (baseline, progressive,
// arithmetic, restart markers, grey, CMYK, subsampled and full chroma), and
// files that claim a size their few bytes cannot hold: the kind of file
// that made the library allocate gigabytes before the reader refused it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <jpeglib.h>  // after <cstdio>, which it needs

namespace {

using Bytes = std::vector<uint8_t>;

struct Coding {
    int width = 16, height = 16;
    J_COLOR_SPACE space = JCS_RGB;
    int components = 3;
    bool progressive = false;
    bool arithmetic = false;
    bool full_chroma = false;
    int restart_rows = 0;
};

Bytes encode(const Coding& k) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(k.width);
    c.image_height = static_cast<JDIMENSION>(k.height);
    c.input_components = k.components;
    c.in_color_space = k.space;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 75, TRUE);
    if (k.progressive) jpeg_simple_progression(&c);
    c.arith_code = k.arithmetic ? TRUE : FALSE;
    c.restart_in_rows = k.restart_rows;
    if (k.full_chroma)
        for (int i = 0; i < c.num_components; ++i) c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
    jpeg_start_compress(&c, TRUE);
    Bytes row(static_cast<size_t>(k.width) * static_cast<size_t>(k.components));
    while (c.next_scanline < c.image_height) {
        const unsigned y = c.next_scanline;
        for (size_t i = 0; i < row.size(); ++i) row[i] = static_cast<uint8_t>(i * 7 + y * 13 + (i % 3) * 60);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    Bytes bytes(out, out + size);
    std::free(out);
    return bytes;
}

// The same file claiming width x height in its frame header.
Bytes claiming(Bytes file, unsigned width, unsigned height) {
    for (size_t i = 0; i + 9 < file.size(); ++i) {
        if (file[i] != 0xFF || (file[i + 1] != 0xC0 && file[i + 1] != 0xC2 && file[i + 1] != 0xC9 &&
                                file[i + 1] != 0xCA))
            continue;
        file[i + 5] = static_cast<uint8_t>(height >> 8);
        file[i + 6] = static_cast<uint8_t>(height);
        file[i + 7] = static_cast<uint8_t>(width >> 8);
        file[i + 8] = static_cast<uint8_t>(width);
        return file;
    }
    std::fprintf(stderr, "no frame header\n");
    std::exit(1);
}

void write(const std::string& name, const Bytes& bytes) {
    std::ofstream out("fuzz/corpus/jpeg/" + name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write fuzz/corpus/jpeg/%s\n", name.c_str());
        std::exit(1);
    }
}

}  // namespace

int main() {
    Coding baseline;
    write("baseline", encode(baseline));

    Coding odd = baseline;
    odd.width = 17, odd.height = 5, odd.full_chroma = true;
    write("full_chroma_odd_size", encode(odd));

    Coding grey = baseline;
    grey.width = 9, grey.height = 13, grey.space = JCS_GRAYSCALE, grey.components = 1;
    write("grey", encode(grey));

    Coding cmyk = baseline;
    cmyk.width = cmyk.height = 8, cmyk.space = JCS_CMYK, cmyk.components = 4;
    write("cmyk", encode(cmyk));

    Coding progressive = baseline;
    progressive.width = 32, progressive.height = 24, progressive.progressive = true;
    write("progressive", encode(progressive));

    Coding arithmetic = baseline;
    arithmetic.width = 24, arithmetic.arithmetic = true;
    write("arithmetic", encode(arithmetic));

    Coding restarts = baseline;
    restarts.height = 40, restarts.restart_rows = 1;
    write("restart_markers", encode(restarts));

    Coding progressive_restarts = progressive;
    progressive_restarts.restart_rows = 1;
    write("progressive_restart_markers", encode(progressive_restarts));

    // A few hundred bytes claiming 65000 x 65000: refused from the header.
    write("claims_huge_progressive", claiming(encode(progressive), 65000, 65000));
    write("claims_huge_baseline", claiming(encode(baseline), 65000, 65000));
    // Within the largest side, but a progressive decode would need gigabytes.
    write("claims_large_progressive", claiming(encode(progressive), 16000, 16000));
    write("claims_zero_width", claiming(encode(baseline), 0, 16));

    const Bytes whole = encode(baseline);
    write("cut_short", Bytes(whole.begin(), whole.begin() + static_cast<long>(whole.size() / 2)));
    return 0;
}
