// What the character-screen scenes share, and the rotated picture's and the
// big picture's frames: the flash background, track values as cells, the
// picture bounded by its offsets, and the big picture's holes and scrolling.
#include "scenes/ascii_scene.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "scenes/scene_textdrop/textdrop.h"
#include "scenes/scene_textroto/textroto.h"

namespace {

TEST(AsciiScenes, FlashPaintsGreyLightGreyOrWhiteOrClears) {
    const struct {
        float track;
        uint8_t colour;
        bool painted;
    } cases[] = {{-0.5f, 0, false}, {0, 0, false}, {0.9f, 0, false}, {1.7f, 8, true}, {2, 7, true},
                 {3, 15, true},     {250, 15, true}, {std::numeric_limits<float>::quiet_NaN(), 0, false}};
    for (const auto& c : cases) {
        AsciiScreen s;
        s.put_char(3, 3, 'x', 9, 9);
        flash_background(s, track_cells(c.track));
        EXPECT_EQ(s.bg_at(3, 3), c.colour) << c.track;
        EXPECT_EQ(s.fg_at(40, 70), c.colour) << c.track;
        AsciiScreen kept;
        kept.put_char(3, 3, 'x', 9, 9);
        EXPECT_EQ(paint_flash(kept, track_cells(c.track)), c.painted) << c.track;
        if (!c.painted) {
            EXPECT_EQ(kept.bg_at(3, 3), 9) << c.track;
        }
    }
}

TEST(AsciiScenes, TrackValuesBecomeBoundedCells) {
    const struct {
        float value;
        int cells;
    } cases[] = {{0, 0}, {20.9f, 20}, {-25.5f, -25}, {1e20f, 1000000}, {-1e20f, -1000000},
                 {std::numeric_limits<float>::quiet_NaN(), 0}, {std::numeric_limits<float>::infinity(), 1000000}};
    for (const auto& c : cases) EXPECT_EQ(track_cells(c.value), c.cells) << c.value;
}

// An 80 x 50 picture of colour 9 with a black (transparent) border.
RawLoader framed_picture(AsciiScreen* screen) {
    std::vector<uint8_t> pixels(80 * 50, 9);
    for (int c = 0; c < 80; ++c) pixels[c] = pixels[49 * 80 + c] = 0;
    return RawLoader(screen, 80, 50, pixels);
}

TEST(AsciiScenes, TheRotatedPictureStandsUprightInTheMiddleAndItsOffsetsOnlyBoundIt) {
    AsciiScreen s;
    RawLoader picture = framed_picture(&s);
    draw_roto_frame(s, picture, 0, 0, 0, 1.0f);
    // A quarter turn: 50 columns wide (16 to 65), the full height.
    EXPECT_EQ(s.char_at(25, 40), 219);
    EXPECT_EQ(s.fg_at(25, 40), 9);
    EXPECT_EQ(s.fg_at(0, 30), 9);
    EXPECT_EQ(s.fg_at(25, 17), 9);
    EXPECT_EQ(s.fg_at(25, 16), 0);  // the border, transparent
    EXPECT_EQ(s.fg_at(25, 15), 0);

    // Column offset 20: drawn only up to column 59, the picture unmoved.
    draw_roto_frame(s, picture, 2, 20, 0, 1.0f);
    EXPECT_EQ(s.fg_at(25, 59), 9);
    EXPECT_EQ(s.bg_at(25, 59), 0);
    for (int c = 60; c < 80; ++c) EXPECT_EQ(s.bg_at(25, c), 7) << c;
    EXPECT_EQ(s.bg_at(25, 16), 7);  // the border shows the flash
}

// A 300 x 120 picture: pixel (r, c) colour 1 + (r + c) % 12, with holes
// (colour 13) in row 0.
std::vector<uint8_t> big_pixels() {
    std::vector<uint8_t> p(300 * 120);
    for (int r = 0; r < 120; ++r)
        for (int c = 0; c < 300; ++c) p[r * 300 + c] = r == 0 ? 13 : static_cast<uint8_t>(1 + (r + c) % 12);
    return p;
}

TEST(AsciiScenes, TheBigPictureScrollsOverTheBackgroundThroughItsHoles) {
    const struct {
        const char* what;
        int x, y;
        int first_row, last_col;  // the screen cells it covers
    } cases[] = {
        {"at 0, 0 its top left", 0, 0, 0, 79},
        {"at y -50 just below the screen", 0, -50, 50, -1},
        {"at y -25 its top rows in the lower half", 0, -25, 25, 79},
        {"at x 250 its last 50 columns", 250, 0, 0, 49},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AsciiScreen s;
        s.fill('z', 4, 2);  // stands in for the rotozoomer
        RawLoader picture(&s, 300, 120, big_pixels());
        draw_drop_frame(s, picture, 0, c.x, c.y);
        for (int r = 0; r < AsciiScreen::kRows; ++r)
            for (int col = 0; col < AsciiScreen::kCols; ++col) {
                const int pr = r + c.y, pc = col + c.x;
                const bool covered = r >= c.first_row && col <= c.last_col && pr > 0;
                if (covered) {
                    ASSERT_EQ(s.fg_at(r, col), 1 + (pr + pc) % 12) << r << "," << col;
                    ASSERT_EQ(s.char_at(r, col), 219);
                } else {
                    ASSERT_EQ(s.char_at(r, col), 'z') << r << "," << col;  // a hole or off the picture
                }
            }
    }
    // A white flash hides the background, not the picture.
    AsciiScreen s;
    s.fill('z', 4, 2);
    RawLoader picture(&s, 300, 120, big_pixels());
    draw_drop_frame(s, picture, 3, 0, 0);
    EXPECT_EQ(s.bg_at(0, 5), 15);
    EXPECT_EQ(s.char_at(10, 5), 219);
    EXPECT_EQ(s.fg_at(10, 5), 1 + 15 % 12);
}

}  // namespace
