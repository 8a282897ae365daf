#include "util/texture/png_loader.h"

#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/test_support.h"
#include "util/texture/deflate_writer.h"
#include "util/texture/png_writer.h"

namespace {

using png_test::Bytes;
using png_test::PngSpec;

struct Ours {
    int result;
    int width, height;
    Bytes rgba;
    std::string failure;
};

Ours decode(const Bytes& file) {
    ZqRawPngDecoder d;
    Ours o;
    o.result = d.decode(file.data(), static_cast<uint32_t>(file.size()));
    o.width = d.width;
    o.height = d.height;
    if (d.rgba) o.rgba.assign(d.rgba, d.rgba + static_cast<size_t>(d.width) * d.height * 4);
    o.failure = d.failure;
    return o;
}

void expect_same_as_libpng(const PngSpec& s) {
    const Bytes file = png_test::write_png(s);
    const png_test::Decoded ref = png_test::read_png_rgba(file);
    const Ours ours = decode(file);
    ASSERT_EQ(ours.result, 1);
    ASSERT_EQ(ours.width, ref.width);
    ASSERT_EQ(ours.height, ref.height);
    ASSERT_TRUE(ours.rgba == ref.rgba);
}

struct ColourDepth {
    int colour, depth;
};
const ColourDepth kAccepted[] = {{PNG_COLOR_TYPE_GRAY, 1},  {PNG_COLOR_TYPE_GRAY, 8},
                                 {PNG_COLOR_TYPE_RGB, 8},   {PNG_COLOR_TYPE_RGB, 16},
                                 {PNG_COLOR_TYPE_PALETTE, 4}, {PNG_COLOR_TYPE_PALETTE, 8},
                                 {PNG_COLOR_TYPE_GRAY_ALPHA, 8}, {PNG_COLOR_TYPE_RGB_ALPHA, 8}};

TEST(PngDecoder, SameAsLibpngForEveryTypeSizeFilterAndInterlace) {
    const int sizes[][2] = {{1, 1}, {2, 2}, {3, 3}, {7, 9}, {33, 17}, {256, 1}, {1, 256}};
    const int filters[] = {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_AVG, PNG_FILTER_PAETH,
                           PNG_ALL_FILTERS};
    uint32_t seed = 1;
    for (const ColourDepth& cd : kAccepted)
        for (int interlace : {PNG_INTERLACE_NONE, PNG_INTERLACE_ADAM7})
            for (const auto& size : sizes)
                for (int filter : filters)
                    for (int trns : {0, 1}) {
                        PngSpec s;
                        s.colour = cd.colour;
                        s.depth = cd.depth;
                        s.interlace = interlace;
                        s.width = size[0];
                        s.height = size[1];
                        s.filters = filter;
                        s.seed = seed++;
                        s.palette_size = cd.depth == 4 ? 16 : 200;
                        s.trns = trns ? (cd.colour == PNG_COLOR_TYPE_PALETTE ? 7 : 1) : 0;
                        SCOPED_TRACE(testing::Message() << "colour " << cd.colour << " depth " << cd.depth
                                                        << " interlace " << interlace << " " << size[0] << "x"
                                                        << size[1] << " filter " << filter << " trns " << trns);
                        expect_same_as_libpng(s);
                    }
}

TEST(PngDecoder, SameAsLibpngForCompressionSettings) {
    uint32_t seed = 1000;
    for (const ColourDepth& cd : kAccepted)
        for (int level : {0, 1, 9})
            for (int strategy : {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED})
                for (int window : {8, 9, 12, 15}) {
                    PngSpec s;
                    s.colour = cd.colour;
                    s.depth = cd.depth;
                    s.interlace = seed % 2 ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE;
                    s.width = 61;
                    s.height = 45;
                    s.level = level;
                    s.strategy = strategy;
                    s.window_bits = window;
                    s.buffer_size = 64;  // many IDAT chunks
                    s.smooth = seed % 3 == 0;
                    s.seed = seed++;
                    SCOPED_TRACE(testing::Message() << "colour " << cd.colour << " depth " << cd.depth << " level "
                                                    << level << " strategy " << strategy << " window " << window);
                    expect_same_as_libpng(s);
                }
}

TEST(PngDecoder, RefusedTypesGiveNoPicture) {
    const ColourDepth refused[] = {{PNG_COLOR_TYPE_GRAY, 2},       {PNG_COLOR_TYPE_GRAY, 4},
                                   {PNG_COLOR_TYPE_GRAY, 16},      {PNG_COLOR_TYPE_PALETTE, 1},
                                   {PNG_COLOR_TYPE_PALETTE, 2},    {PNG_COLOR_TYPE_GRAY_ALPHA, 16},
                                   {PNG_COLOR_TYPE_RGB_ALPHA, 16}};
    for (const ColourDepth& cd : refused) {
        PngSpec s;
        s.colour = cd.colour;
        s.depth = cd.depth;
        s.palette_size = 2;
        const Ours o = decode(png_test::write_png(s));
        EXPECT_EQ(o.result, 1);
        EXPECT_EQ(o.width, 0) << cd.colour << "/" << cd.depth;
        EXPECT_EQ(o.height, 0);
    }
}

// ---------------------------------------------------------------------------
// Hand-made files

Bytes be32(uint32_t v) {
    return {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
            static_cast<uint8_t>(v)};
}

const uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

struct PngFile {
    Bytes bytes;
    PngFile() : bytes(kSignature, kSignature + 8) {}
    PngFile& chunk(const char* type, const Bytes& data) {
        Bytes head = be32(static_cast<uint32_t>(data.size()));
        bytes.insert(bytes.end(), head.begin(), head.end());
        Bytes body(type, type + 4);
        body.insert(body.end(), data.begin(), data.end());
        bytes.insert(bytes.end(), body.begin(), body.end());
        Bytes crc = be32(static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
        bytes.insert(bytes.end(), crc.begin(), crc.end());
        return *this;
    }
    PngFile& ihdr(uint32_t w, uint32_t h, int depth, int colour, int interlace = 0) {
        Bytes d = be32(w);
        Bytes hh = be32(h);
        d.insert(d.end(), hh.begin(), hh.end());
        for (int v : {depth, colour, 0, 0, interlace}) d.push_back(static_cast<uint8_t>(v));
        return chunk("IHDR", d);
    }
    // Raw scanlines (filter bytes included), compressed.
    PngFile& idat(const Bytes& raw) { return chunk("IDAT", deflate_test::zlib_compress(raw, 9, 15)); }
    PngFile& iend() { return chunk("IEND", {}); }
};

TEST(PngDecoder, StatedBehaviour) {
    {   // A 2x2 RGBA picture; flip_rows puts the bottom row first.
        Bytes raw = {0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 9, 10, 11, 12, 13, 14, 15, 16};
        PngFile f;
        f.ihdr(2, 2, 8, 6).idat(raw).iend();
        ZqRawPngDecoder d;
        ASSERT_EQ(d.decode(f.bytes.data(), static_cast<uint32_t>(f.bytes.size())), 1);
        ASSERT_EQ(d.width, 2);
        d.flip_rows();
        EXPECT_EQ(Bytes(d.rgba, d.rgba + 16), Bytes({9, 10, 11, 12, 13, 14, 15, 16, 1, 2, 3, 4, 5, 6, 7, 8}));
    }
    {   // Palette with tRNS [0]: index 0 transparent, others opaque.
        PngFile f;
        f.ihdr(3, 1, 8, 3).chunk("PLTE", {10, 11, 12, 20, 21, 22, 30, 31, 32}).chunk("tRNS", {0}).idat({0, 0, 1, 2});
        EXPECT_EQ(decode(f.bytes).rgba, Bytes({10, 11, 12, 0, 20, 21, 22, 255, 30, 31, 32, 255}));
        PngFile g;
        g.ihdr(2, 1, 8, 3).chunk("PLTE", {1, 2, 3, 4, 5, 6}).chunk("tRNS", {255, 128}).idat({0, 0, 1});
        EXPECT_EQ(decode(g.bytes).rgba, Bytes({1, 2, 3, 255, 4, 5, 6, 128}));
    }
    {   // Grey with tRNS level 0: black turns transparent.
        PngFile f;
        f.ihdr(2, 1, 8, 0).chunk("tRNS", {0, 0}).idat({0, 0, 200});
        EXPECT_EQ(decode(f.bytes).rgba, Bytes({0, 0, 0, 0, 200, 200, 200, 255}));
    }
    {   // 1-bit grey: black and white, opaque.
        PngFile f;
        f.ihdr(3, 1, 1, 0).idat({0, 0xA0});
        EXPECT_EQ(decode(f.bytes).rgba, Bytes({255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255}));
    }
    {   // 16-bit RGB decodes to the high bytes.
        PngFile f;
        f.ihdr(1, 1, 16, 2).idat({0, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC});
        const Ours o = decode(f.bytes);
        EXPECT_EQ(o.rgba, Bytes({0x12, 0x56, 0x9A, 255}));
    }
    {   // gAMA changes nothing; a PLTE of 10 bytes fails even for RGBA.
        PngFile plain, with_gamma, bad_plte;
        plain.ihdr(1, 1, 8, 6).idat({0, 1, 2, 3, 4}).iend();
        with_gamma.ihdr(1, 1, 8, 6).chunk("gAMA", be32(45455)).idat({0, 1, 2, 3, 4}).iend();
        bad_plte.ihdr(1, 1, 8, 6).chunk("PLTE", Bytes(10, 1)).idat({0, 1, 2, 3, 4}).iend();
        EXPECT_EQ(decode(plain.bytes).rgba, decode(with_gamma.bytes).rgba);
        ZqRawPngDecoder d;
        d.decode(with_gamma.bytes.data(), static_cast<uint32_t>(with_gamma.bytes.size()));
        EXPECT_EQ(d.gamma, 45455);
        EXPECT_EQ(decode(bad_plte.bytes).result, -1);
        Bytes bad_signature = plain.bytes;
        bad_signature[1] = 'Q';
        EXPECT_EQ(decode(bad_signature).result, -1);
    }
    {   // Adam7 3x3: passes 1, 4, 5, 6, 7 (2 and 3 are empty and carry no filter byte).
        Bytes raw = {0, 1,          // pass 1: (0,0)
                     0, 2,          // pass 4: (2,0)
                     0, 3, 4,       // pass 5: (0,2) (2,2)
                     0, 5, 0, 6,    // pass 6: (1,0), (1,2)
                     0, 7, 8, 9};   // pass 7: row 1
        PngFile f;
        f.ihdr(3, 3, 8, 0, 1).idat(raw);
        const Ours o = decode(f.bytes);
        Bytes grey;
        for (size_t i = 0; i < o.rgba.size(); i += 4) grey.push_back(o.rgba[i]);
        EXPECT_EQ(grey, Bytes({1, 5, 2, 7, 8, 9, 3, 6, 4}));
    }
    EXPECT_EQ(png_paeth(10, 20, 10), 20);
    EXPECT_EQ(png_paeth(20, 10, 10), 20);
    EXPECT_EQ(png_paeth(10, 10, 10), 10);
}

TEST(PngDecoder, DecodeFileReadsThroughTheDataLayer) {
    test_support::TempDir dir;
    test_support::ScopedChdir cd(dir.path());
    PngFile f;
    f.ihdr(1, 1, 8, 6).idat({0, 9, 8, 7, 6}).iend();
    std::filesystem::create_directories("data");
    std::ofstream("data/p.png", std::ios::binary).write(reinterpret_cast<const char*>(f.bytes.data()),
                                                        static_cast<std::streamsize>(f.bytes.size()));
    ZqRawPngDecoder d;
    ASSERT_EQ(d.decode_file("data/p.png"), 1);
    EXPECT_EQ(Bytes(d.rgba, d.rgba + 4), Bytes({9, 8, 7, 6}));
    ZqRawPngDecoder missing;
    EXPECT_EQ(missing.decode_file("data/none.png"), -1);
}

// Crafted bad inputs: decoding never reads or writes out of bounds, never
// hangs, and unreached pixels are transparent black.
struct BadPng {
    const char* label;
    Bytes file;
    int result;
    int width;          // 0: refused
    Bytes first_pixel;  // expected first RGBA pixel, when accepted
};

std::vector<BadPng> bad_pngs() {
    std::vector<BadPng> cases;
    const Bytes grey_row = {0, 50, 60, 70, 80};
    auto file = [](const PngFile& f) { return f.bytes; };
    cases.push_back({"no IHDR", file(PngFile().idat(grey_row).iend()), 1, 0, {}});
    cases.push_back({"width 0", file(PngFile().ihdr(0, 1, 8, 0).idat(grey_row)), 1, 0, {}});
    cases.push_back({"height 0", file(PngFile().ihdr(4, 0, 8, 0).idat(grey_row)), 1, 0, {}});
    cases.push_back({"65536 x 65536", file(PngFile().ihdr(65536, 65536, 8, 6).idat(grey_row)), 1, 0, {}});
    cases.push_back({"negative width", file(PngFile().ihdr(0x80000001u, 1, 8, 6).idat(grey_row)), 1, 0, {}});
    cases.push_back({"short IHDR", file(PngFile().chunk("IHDR", Bytes(12, 1)).idat(grey_row)), 1, 0, {}});
    {
        PngFile f;
        f.ihdr(4, 1, 8, 0).idat(grey_row);
        Bytes b = f.bytes;
        Bytes huge = be32(0xFFFFFFF0u);
        b.insert(b.end(), huge.begin(), huge.end());
        b.insert(b.end(), {'I', 'D', 'A', 'T', 1, 2, 3, 4, 5, 6, 7, 8});
        cases.push_back({"chunk length 0xFFFFFFF0", b, 1, 4, {50, 50, 50, 255}});
    }
    cases.push_back({"palette picture without PLTE", file(PngFile().ihdr(4, 1, 8, 3).idat(grey_row)), 1, 4,
                     {0, 0, 0, 0}});
    cases.push_back({"empty PLTE", file(PngFile().ihdr(4, 1, 8, 3).chunk("PLTE", {}).idat(grey_row)), 1, 4,
                     {0, 0, 0, 0}});
    cases.push_back({"index past the palette",
                     file(PngFile().ihdr(2, 1, 8, 3).chunk("PLTE", {1, 2, 3}).idat({0, 1, 0})), 1, 2,
                     {0, 0, 0, 0}});
    cases.push_back({"no IDAT", file(PngFile().ihdr(4, 4, 8, 6).iend()), 1, 4, {0, 0, 0, 0}});
    cases.push_back({"empty IDAT", file(PngFile().ihdr(4, 4, 8, 6).chunk("IDAT", {}).iend()), 1, 4, {0, 0, 0, 0}});
    cases.push_back({"interlace method 2", file(PngFile().ihdr(4, 1, 8, 0, 2).idat(grey_row)), 1, 4, {0, 0, 0, 0}});
    cases.push_back({"too much data", file(PngFile().ihdr(1, 1, 8, 0).idat(Bytes(5000, 3))), 1, 1, {3, 3, 3, 255}});
    cases.push_back({"filter type 9 acts as None", file(PngFile().ihdr(1, 1, 8, 0).idat({9, 77})), 1, 1,
                     {77, 77, 77, 255}});
    {   // Interlaced sub-byte pictures are decoded, not overrun.
        Bytes raw;
        for (int i = 0; i < 200; ++i) raw.push_back(static_cast<uint8_t>(i * 37));
        cases.push_back({"interlaced 1-bit", file(PngFile().ihdr(13, 11, 1, 0, 1).idat(raw)), 1, 13, {}});
        cases.push_back({"interlaced 4-bit palette",
                         file(PngFile().ihdr(13, 11, 4, 3, 1).chunk("PLTE", Bytes(48, 9)).idat(raw)), 1, 13, {}});
    }
    return cases;
}

TEST(PngDecoder, CraftedBadInputs) {
    for (const BadPng& c : bad_pngs()) {
        SCOPED_TRACE(c.label);
        const Ours o = decode(c.file);
        EXPECT_EQ(o.result, c.result);
        EXPECT_EQ(o.width, c.width);
        if (c.width == 0) {
            EXPECT_EQ(o.height, 0);
        }
        if (!c.first_pixel.empty()) {
            ASSERT_GE(o.rgba.size(), 4u);
            EXPECT_EQ(Bytes(o.rgba.begin(), o.rgba.begin() + 4), c.first_pixel);
        }
    }
}

TEST(PngDecoder, TruncatedFilesShowWhatWasReached) {
    for (int interlace : {PNG_INTERLACE_NONE, PNG_INTERLACE_ADAM7}) {
        PngSpec s;
        s.width = 9;
        s.height = 7;
        s.colour = PNG_COLOR_TYPE_RGB;
        s.interlace = interlace;
        s.level = 0;  // stored: every cut leaves a decodable prefix
        const Bytes file = png_test::write_png(s);
        const Bytes full = png_test::read_png_rgba(file).rgba;
        for (size_t cut = 0; cut <= file.size(); ++cut) {
            const Ours o = decode(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut)));
            if (o.width == 0) continue;
            ASSERT_EQ(o.rgba.size(), full.size());
            // Each pixel is either the true one or untouched (zero).
            for (size_t i = 0; i < full.size(); i += 4) {
                const Bytes got(o.rgba.begin() + static_cast<std::ptrdiff_t>(i),
                                o.rgba.begin() + static_cast<std::ptrdiff_t>(i) + 4);
                const Bytes want(full.begin() + static_cast<std::ptrdiff_t>(i),
                                 full.begin() + static_cast<std::ptrdiff_t>(i) + 4);
                ASSERT_TRUE(got == want || got == Bytes(4, 0)) << "cut " << cut << " pixel " << i / 4;
            }
        }
    }
}

TEST(PngDecoder, SizeCapRefusesLargerPictures) {
    const int32_t saved = ZqRawPngDecoder::max_side;
    ZqRawPngDecoder::max_side = 16;
    PngFile f;
    f.ihdr(17, 1, 8, 0).idat(Bytes(18, 0));
    const Ours refused = decode(f.bytes);
    PngFile g;
    g.ihdr(16, 16, 8, 0).idat(Bytes(17 * 16, 0));
    const Ours accepted = decode(g.bytes);
    ZqRawPngDecoder::max_side = saved;
    EXPECT_EQ(refused.width, 0);
    EXPECT_EQ(refused.failure, "picture of 17x1 is too large");
    EXPECT_EQ(accepted.width, 16);
}

// Within the sides, a picture of more pixels than any we show is refused
// from its header, before its pixels are allocated.
TEST(PngDecoder, PixelCountCapRefusesFromTheHeader) {
    const struct {
        int32_t width, height;
    } cases[] = {{4097, 4097}, {16384, 1025}, {1025, 16384}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        PngFile f;
        f.ihdr(c.width, c.height, 8, 6).idat(Bytes(5, 0));
        const Ours o = decode(f.bytes);
        EXPECT_EQ(o.result, 1);
        EXPECT_EQ(o.width, 0);
        EXPECT_TRUE(o.rgba.empty());
        EXPECT_EQ(o.failure, "picture of " + std::to_string(c.width) + "x" + std::to_string(c.height) + " is too large");
    }
}

}  // namespace
