#include "util/texture/image.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

#include "support/test_support.h"
#include "util/texture/bmp_loader.h"
#include "util/texture/jpg_loader.h"
#include "util/texture/picture_files.h"

namespace {

using Bytes = std::vector<uint8_t>;

void put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}
void put16(Bytes& b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

// A 24-bit BMP; pixel (row from the top, col) has blue, green, red =
// (10 * row + col, 100 + row, 200 + col). `pad` bytes follow each row.
struct BmpSpec {
    int32_t width = 2, height = 2;
    int pad = 2;
    uint32_t size_image = 16;
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t clr_used = 0, clr_important = 0;
};

Bytes make_bmp(const BmpSpec& s) {
    Bytes b(54, 0);
    b[0] = 'B', b[1] = 'M';
    put32(b, 10, 54);
    put32(b, 14, 40);
    put32(b, 18, static_cast<uint32_t>(s.width));
    put32(b, 22, static_cast<uint32_t>(s.height));
    put16(b, 26, 1);
    put16(b, 28, s.bits);
    put32(b, 30, s.compression);
    put32(b, 34, s.size_image);
    put32(b, 46, s.clr_used);
    put32(b, 50, s.clr_important);
    const int32_t rows = s.height < 0 ? -s.height : s.height;
    for (int32_t r = 0; r < rows; ++r) {
        const int32_t top_row = s.height < 0 ? r : rows - 1 - r;
        for (int32_t c = 0; c < s.width; ++c) {
            b.push_back(static_cast<uint8_t>(10 * top_row + c));
            b.push_back(static_cast<uint8_t>(100 + top_row));
            b.push_back(static_cast<uint8_t>(200 + c));
        }
        b.insert(b.end(), static_cast<size_t>(s.pad), 0xEE);
    }
    put32(b, 2, static_cast<uint32_t>(b.size()));
    return b;
}

int read_bmp(const Bytes& b, Image* out = nullptr) {
    Image local(3);
    Image& image = out ? *out : local;
    return image.read_bmp_buffer(b.data(), b.size());
}

TEST(Bmp, TwoByTwoGivesRgbaBottomRowFirst) {
    Image image(3);
    ASSERT_EQ(read_bmp(make_bmp(BmpSpec{}), &image), 0);
    ASSERT_EQ(image.get_width(), 2);
    ASSERT_EQ(image.get_height(), 2);
    std::unique_ptr<uint8_t, decltype(&std::free)> rgba(image.to_rgba(), &std::free);
    // Bottom row (row 1) first: red, green, blue, 255.
    const Bytes expected = {200, 101, 10, 255, 201, 101, 11, 255, 200, 100, 0, 255, 201, 100, 1, 255};
    EXPECT_EQ(Bytes(rgba.get(), rgba.get() + 16), expected);
    // Stored as red, blue, green.
    const int32_t* p = image.colour_pixel(0, 1);
    EXPECT_EQ(p[0], 201);
    EXPECT_EQ(p[1], 1);
    EXPECT_EQ(p[2], 100);
}

TEST(Bmp, ResultCodes) {
    struct Case {
        const char* label;
        Bytes file;
        int code;
    };
    auto bmp_with = [](auto change) {
        BmpSpec s;
        change(s);
        return make_bmp(s);
    };
    Bytes offset_at_end = make_bmp(BmpSpec{});
    put32(offset_at_end, 10, static_cast<uint32_t>(offset_at_end.size()));
    Bytes offset_huge = make_bmp(BmpSpec{});
    put32(offset_huge, 10, 0xFFFFFFF0u);
    Bytes last_pad_missing = make_bmp(BmpSpec{});
    last_pad_missing.resize(last_pad_missing.size() - 2);
    Bytes inside_pixel = make_bmp(BmpSpec{});
    inside_pixel.resize(inside_pixel.size() - 4);
    Bytes short_file = make_bmp(BmpSpec{});
    short_file.resize(57);
    Bytes height_zero = bmp_with([](BmpSpec& s) { s.height = 0; });
    height_zero.resize(70, 0);
    Bytes claims_huge = make_bmp(BmpSpec{});
    put32(claims_huge, 18, 4000);
    put32(claims_huge, 22, 4000);
    Bytes claims_too_many = make_bmp(BmpSpec{});
    put32(claims_too_many, 18, 4097);
    put32(claims_too_many, 22, 4097);

    const std::vector<Case> cases = {
        {"57 bytes", short_file, 4},
        {"empty", {}, 4},
        {"32-bit", bmp_with([](BmpSpec& s) { s.bits = 32; }), 2},
        {"RLE", bmp_with([](BmpSpec& s) { s.compression = 1; }), 2},
        {"ClrUsed and ClrImportant", bmp_with([](BmpSpec& s) { s.clr_used = s.clr_important = 5; }), 2},
        {"ClrImportant only", bmp_with([](BmpSpec& s) { s.clr_important = 5; }), 0},
        {"bfOffBits at the end", offset_at_end, 3},
        {"bfOffBits far beyond", offset_huge, 3},
        {"last row without padding", last_pad_missing, 3},
        {"ends inside a pixel", inside_pixel, 4},
        {"size claimed far beyond the data", claims_huge, 4},
        {"width 0", bmp_with([](BmpSpec& s) { s.width = 0; }), 2},
        {"negative width", bmp_with([](BmpSpec& s) { s.width = -2; }), 2},
        {"height 0", height_zero, 2},
        {"too wide", bmp_with([](BmpSpec& s) { s.width = Image::max_side + 1, s.height = 1; }), 2},
        {"too many pixels", claims_too_many, 2},
        {"biSizeImage 0: rows aligned to 4", bmp_with([](BmpSpec& s) { s.size_image = 0; }), 0},
        {"biSizeImage too small: rows aligned to 4", bmp_with([](BmpSpec& s) { s.size_image = 3; }), 0},
        {"top-down", bmp_with([](BmpSpec& s) { s.height = -2; }), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(read_bmp(c.file), c.code);
    }
}

TEST(Bmp, PaddingRulesAndTopDownRows) {
    // 3 wide: 9 bytes per row; biSizeImage 0 falls back to 3 bytes of padding,
    // and a top-down file gives the same picture as a bottom-up one.
    BmpSpec bottom_up;
    bottom_up.width = 3;
    bottom_up.height = 2;
    bottom_up.pad = 3;
    bottom_up.size_image = 0;
    BmpSpec top_down = bottom_up;
    top_down.height = -2;
    BmpSpec stated = bottom_up;
    stated.pad = 5;  // biSizeImage says 5 bytes per row
    stated.size_image = 2 * (9 + 5);
    Image a(3), b(3), c(3);
    ASSERT_EQ(read_bmp(make_bmp(bottom_up), &a), 0);
    ASSERT_EQ(read_bmp(make_bmp(top_down), &b), 0);
    ASSERT_EQ(read_bmp(make_bmp(stated), &c), 0);
    for (const Image* img : {&a, &b, &c})
        for (int32_t row = 0; row < 2; ++row)
            for (int32_t col = 0; col < 3; ++col) {
                const int32_t* p = img->colour_pixel(row, col);
                EXPECT_EQ(p[0], 200 + col);
                EXPECT_EQ(p[1], 10 * row + col);
                EXPECT_EQ(p[2], 100 + row);
            }
}

TEST(Bmp, ReadThroughTheDataLayer) {
    test_support::TempDir dir;
    test_support::ScopedChdir cd(dir.path());
    std::filesystem::create_directories("data");
    const Bytes file = make_bmp(BmpSpec{});
    std::ofstream("data/a.bmp", std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    Image image(3);
    EXPECT_EQ(image.read_bmp("data/a.bmp"), 0);
    EXPECT_EQ(image.get_width(), 2);
    EXPECT_EQ(image.read_bmp("data/none.bmp"), 1);
}

TEST(Image, SetPixelBoundsAndGreyForm) {
    Image colour(3);
    colour.set_pixel(0, 0, 1, 2, 3);  // no pixels yet: ignored
    Image grey(1);
    EXPECT_EQ(grey.get_channels(), 1);
    Bytes bmp = make_bmp(BmpSpec{});
    ASSERT_EQ(colour.read_bmp_buffer(bmp.data(), bmp.size()), 0);
    colour.set_pixel(-1, 0, 9, 9, 9);
    colour.set_pixel(0, 2, 9, 9, 9);
    colour.set_pixel(2, 0, 9, 9, 9);
    colour.set_pixel(1, 1, 7, 8, 9);
    EXPECT_EQ(colour.colour_pixel(1, 1)[0], 7);
    EXPECT_EQ(colour.colour_pixel(0, 0)[0], 200);
    // Grey: the mean of the two bounds of (red 200, blue 0, green 100).
    ASSERT_EQ(grey.read_bmp_buffer(bmp.data(), bmp.size()), 0);
    EXPECT_EQ(grey.grey_pixel(0, 0), 150);
    EXPECT_EQ(grey.to_rgba(), nullptr);
}

// ---------------------------------------------------------------------------
// JPEG

Bytes encode_jpeg(int width, int height, int components, uint32_t seed, bool progressive = false) {
    std::mt19937 rng(seed);
    return picture_files::encode_jpeg_rows(
        width, height, components, 85, false,
        [&](int y, uint8_t* row) {
            for (size_t i = 0; i < static_cast<size_t>(width * components); ++i)
                row[i] = static_cast<uint8_t>(i * 2 + static_cast<size_t>(y) * 3 + rng() % 16);
        },
        progressive);
}

using picture_files::jpeg_claiming;

using picture_files::libjpeg_rgb;

TEST(Jpeg, SameAsLibjpegAndBottomRowFirst) {
    struct Case {
        int width, height, components;
    };
    for (const Case& c : {Case{640, 480, 3}, Case{17, 5, 3}, Case{9, 13, 1}, Case{1, 1, 3}}) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.components);
        const Bytes file = encode_jpeg(c.width, c.height, c.components, 3);
        const Bytes ref = libjpeg_rgb(file);
        Image image(3);
        ASSERT_TRUE(image.read_jpeg_buffer(file.data(), file.size(), "data/t.jpg"));
        ASSERT_EQ(image.get_width(), c.width);
        ASSERT_EQ(image.get_height(), c.height);
        std::unique_ptr<uint8_t, decltype(&std::free)> rgba(image.to_rgba(), &std::free);
        const size_t w = static_cast<size_t>(c.width), h = static_cast<size_t>(c.height);
        for (size_t y = 0; y < h; ++y)
            for (size_t x = 0; x < w; ++x) {
                const uint8_t* got = rgba.get() + ((h - 1 - y) * w + x) * 4;
                const uint8_t* want = ref.data() + (y * w + x) * 3;
                ASSERT_TRUE(got[0] == want[0] && got[1] == want[1] && got[2] == want[2] && got[3] == 255)
                    << "pixel " << x << "," << y;
            }
    }
}

TEST(Jpeg, DamagedFilesEndTheRunWithTheLibraryMessage) {
    const Bytes file = encode_jpeg(32, 32, 3, 4);
    Image image(3);
    const Bytes cut(file.begin(), file.begin() + 200);
    EXPECT_FATAL_CONTAINS(image.read_jpeg_buffer(cut.data(), cut.size(), "data/cut.jpg"),
                          "Failed reading data/cut.jpg: ");
    EXPECT_FATAL_CONTAINS(image.read_jpeg_buffer(cut.data(), cut.size(), "data/cut.jpg"), "Empty input file");
    const Bytes junk(100, 0x42);
    EXPECT_FATAL_CONTAINS(image.read_jpeg_buffer(junk.data(), junk.size(), "data/junk.jpg"),
                          "Failed reading data/junk.jpg: ");
    // A working decode afterwards: nothing is left behind.
    EXPECT_TRUE(image.read_jpeg_buffer(file.data(), file.size(), "data/ok.jpg"));
}

// A file of a few hundred bytes that claims a huge picture is refused from
// its header, before the library allocates for the size it claims (a
// progressive decode holds every coefficient of the picture: gigabytes
// here), by its sides or by its pixel count: 16000 x 16000 is within the
// sides but would cost gigabytes to decode.
TEST(Jpeg, FilesClaimingHugePicturesAreRefusedBeforeTheLibraryAllocates) {
    const struct {
        const char* what;
        Bytes file;
        const char* message;
    } cases[] = {
        {"progressive, 65000 x 65000", jpeg_claiming(encode_jpeg(16, 16, 3, 6, true), 65000, 65000),
         "Failed reading data/bomb.jpg: picture of 65000x65000 is too large\n"},
        {"baseline, 65000 x 65000", jpeg_claiming(encode_jpeg(16, 16, 3, 6), 65000, 65000),
         "Failed reading data/bomb.jpg: picture of 65000x65000 is too large\n"},
        {"progressive, one side too long", jpeg_claiming(encode_jpeg(16, 16, 1, 6, true), 16, Image::max_side + 1),
         "Failed reading data/bomb.jpg: picture of 16x16385 is too large\n"},
        {"progressive, 16000 x 16000", jpeg_claiming(encode_jpeg(16, 16, 3, 6, true), 16000, 16000),
         "Failed reading data/bomb.jpg: picture of 16000x16000 is too large\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_LT(c.file.size(), 2000u);
        Image image(3);
        EXPECT_FATAL(image.read_jpeg_buffer(c.file.data(), c.file.size(), "data/bomb.jpg"), c.message);
    }
    // A picture of a usual size still decodes whole when it is progressive.
    const Bytes progressive = encode_jpeg(300, 200, 3, 7, true);
    Image image(3);
    ASSERT_TRUE(image.read_jpeg_buffer(progressive.data(), progressive.size(), "data/p.jpg"));
    EXPECT_EQ(image.get_width(), 300);
    EXPECT_EQ(image.get_height(), 200);
}

TEST(Jpeg, ReadThroughTheDataLayer) {
    test_support::TempDir dir;
    test_support::ScopedChdir cd(dir.path());
    std::filesystem::create_directories("data");
    const Bytes file = encode_jpeg(8, 8, 3, 5);
    std::ofstream("data/a.jpg", std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    Image image(3);
    EXPECT_TRUE(image.read_jpeg("data/a.jpg"));
    EXPECT_EQ(image.get_width(), 8);
    EXPECT_FALSE(image.read_jpeg("data/none.jpg"));
}

TEST(Jpeg, SkipPastTheEndIsEmptyInput) {
    jpeg_decompress_struct d;
    jpeg_error_mgr err;
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    const JOCTET bytes[4] = {1, 2, 3, 4};
    set_jpeg_memory_source(&d, bytes, 4);
    mem_skip_input_data(&d, 3);
    EXPECT_EQ(d.src->bytes_in_buffer, 1u);
    EXPECT_EQ(d.src->next_input_byte, bytes + 3);
    mem_skip_input_data(&d, 0);
    mem_skip_input_data(&d, -5);
    EXPECT_EQ(d.src->bytes_in_buffer, 1u);
    jpeg_destroy_decompress(&d);
}

}  // namespace
