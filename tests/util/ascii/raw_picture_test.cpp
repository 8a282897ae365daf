// Raw pictures: the colour remap, shifted and rotated drawing, and the files
// that are not pictures.
#include "util/ascii/raw_picture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ascii_test_support.h"
#include "support/test_support.h"

namespace {

// A file of width x height bytes whose pixel (r, c) is (r + 2c) % 16 in the
// file's bit order, so that every position is recognisable.
std::vector<uint8_t> pattern(int width, int height) {
    std::vector<uint8_t> bytes(static_cast<size_t>(width) * height);
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c) bytes[static_cast<size_t>(r) * width + c] = static_cast<uint8_t>((r + 2 * c) % 16);
    return bytes;
}
uint8_t colour_at(int r, int c) { return kRawRemap[(r + 2 * c) % 16]; }

class RawPicture : public ::testing::Test {
protected:
    RawLoader load(int width, int height) {
        folder_.write("pic.raw", pattern(width, height));
        return RawLoader(&screen_, "pic.raw", width, height);
    }
    ascii_test::DataFolder folder_;
    AsciiScreen screen_;
};

TEST(RawRemap, ExchangesBitsZeroAndTwoAndIsItsOwnInverse) {
    EXPECT_EQ(kRawRemap[1], 4);   // dark red
    EXPECT_EQ(kRawRemap[4], 1);   // dark blue
    EXPECT_EQ(kRawRemap[9], 12);
    EXPECT_EQ(kRawRemap[13], 13);
    for (int v = 0; v < 16; ++v) {
        EXPECT_EQ(kRawRemap[kRawRemap[v]], v);
        EXPECT_EQ(kRawRemap[v], (v & 0b1010) | ((v & 1) << 2) | ((v >> 2) & 1));
    }
}

TEST_F(RawPicture, ShiftedDrawShowsTheWindowAtTheOffsets) {
    RawLoader raw = load(300, 120);
    struct Case {
        const char* name;
        int col_offset, row_offset;
        int first_col, end_col;  // screen columns drawn
    };
    const Case cases[] = {
        {"top-left 80 x 50", 0, 0, 0, 80},
        {"moved right", -10, 0, 10, 80},
        {"scrolled to the last 20 columns", 280, 0, 0, 20},
        {"scrolled past the picture", 300, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        screen_.fill('x', 7, 3);
        raw.draw(219, -1, c.col_offset, c.row_offset);
        for (int i = 0; i < 50; ++i)
            for (int j = 0; j < 80; ++j) {
                const bool drawn = j >= c.first_col && j < c.end_col;
                ASSERT_EQ(screen_.char_at(i, j), drawn ? 219 : 'x') << i << "," << j;
                if (drawn) {
                    ASSERT_EQ(screen_.fg_at(i, j), colour_at(i + c.row_offset, j + c.col_offset));
                    ASSERT_EQ(screen_.bg_at(i, j), 0);
                }
            }
    }
    // Moved down past the screen: nothing; extreme offsets overflow nothing.
    screen_.clear();
    raw.draw(219, -1, 0, -50);
    raw.draw(219, -1, -2147483647 - 1, 2147483647);
    raw.draw(219, -1, 2147483647, -2147483647 - 1);
    EXPECT_EQ(screen_.char_at(0, 0), 0);
    EXPECT_EQ(screen_.char_at(49, 79), 0);
}

TEST_F(RawPicture, TransparentPixelsLeaveTheirCellsAlone) {
    RawLoader raw = load(80, 50);
    screen_.fill('x', 7, 3);
    const int transparent = colour_at(0, 0);
    raw.draw(219, transparent, 0, 0);
    EXPECT_TRUE(screen_.char_at(0, 0) == 'x' && screen_.fg_at(0, 0) == 7 && screen_.bg_at(0, 0) == 3);
    EXPECT_EQ(screen_.char_at(0, 1), 219);
}

TEST_F(RawPicture, RotatedByZeroAtScaleOneIsTheShiftedDraw) {
    RawLoader raw = load(80, 50);
    AsciiScreen shifted;
    RawLoader(&shifted, "pic.raw", 80, 50).draw(219, -1, 0, 0);
    raw.draw_rotated(219, -1, 0, 0, 0.0, 1.0, 1.0);
    for (int i = 0; i < 50; ++i)
        for (int j = 0; j < 80; ++j) ASSERT_EQ(screen_.fg_at(i, j), shifted.fg_at(i, j)) << i << "," << j;
}

TEST_F(RawPicture, RotatedByAQuarterTurnSwapsRowsAndColumns) {
    RawLoader raw = load(80, 50);
    raw.draw_rotated(219, -1, 0, 0, M_PI / 2, 1.0, 1.0);
    // Cell (i, j): u = j - 40, v = i - 25; x = 40 + (int)v, y = 25 - (int)u,
    // to within the cosine's rounding.
    int checked = 0;
    for (int i = 0; i < 50; ++i)
        for (int j = 0; j < 80; ++j) {
            const int x = 40 + static_cast<int>((j - 40) * std::cos(M_PI / 2) + (i - 25) * std::sin(M_PI / 2));
            const int y = 25 + static_cast<int>((i - 25) * std::cos(M_PI / 2) - (j - 40) * std::sin(M_PI / 2));
            if (x < 0 || x >= 80 || y < 0 || y >= 50) {
                ASSERT_EQ(screen_.char_at(i, j), 0);
                continue;
            }
            ASSERT_EQ(screen_.fg_at(i, j), colour_at(y, x));
            ++checked;
        }
    EXPECT_GT(checked, 50 * 50 - 200);  // a square about the centre
    EXPECT_EQ(screen_.fg_at(25, 40), colour_at(25, 40));  // the centre stays

    // A NaN angle or a huge scale draws nothing and reads nothing outside.
    screen_.clear();
    raw.draw_rotated(219, -1, 0, 0, std::nan(""), 1.0, 1.0);
    raw.draw_rotated(219, -1, 0, 0, 0.3, 1e300, -1e300);
    int drawn = 0;
    for (int i = 0; i < 50; ++i)
        for (int j = 0; j < 80; ++j) drawn += screen_.char_at(i, j) != 0;
    EXPECT_LE(drawn, 1);  // at most the centre itself
}

TEST_F(RawPicture, ShortOversizedAndForeignFilesEndTheRun) {
    folder_.write("short.raw", std::string(3999, '\1'));
    EXPECT_FATAL(RawLoader(&screen_, "short.raw", 80, 50), "File short.raw is only 3999 bytes, expected 80x50 image!");
    EXPECT_FATAL(RawLoader(&screen_, "missing.raw", 80, 50), "Failed to load file missing.raw");
    folder_.write("text.raw", std::string(4000, 'A'));
    EXPECT_FATAL(RawLoader(&screen_, "text.raw", 80, 50),
                 "File text.raw is not a raw picture: byte 65 at offset 0 is not a colour index 0..15");
    EXPECT_FATAL(RawLoader(&screen_, "short.raw", 0, 50), "Raw picture short.raw cannot be 0x50 pixels");
    EXPECT_FATAL(RawLoader(&screen_, "short.raw", 65536, 65536),
                 "Raw picture short.raw cannot be 65536x65536 pixels");

    // Bytes after the picture are ignored, whatever they are.
    folder_.write("long.raw", std::string(4000, '\1') + "trailing text");
    RawLoader raw(&screen_, "long.raw", 80, 50);
    EXPECT_EQ(raw.pixel(49, 79), 4);
}

}  // namespace
