// The character screen drawn: every probed cell of the shared 640 x 600
// target must be its glyph from the compiled-in font sheet in the cell's
// colours, and the target must land in the letter-box.
#include "util/ascii/ascii_engine.h"


#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "ascii_test_support.h"
#include "support/gl_context.h"
#include "util/ascii/block_font.h"
#include "util/ascii/fire.h"
#include "util/ascii/font_sheet.h"
#include "util/ascii/raw_picture.h"
#include "util/ascii/starfield.h"
#include "util/fbo/fbo.h"
#include "util/texture/png_loader.h"

namespace {

constexpr int kW = AsciiEngine::kTargetWidth;
constexpr int kH = AsciiEngine::kTargetHeight;

// The font sheet decoded on the CPU, top row first.
class Sheet {
public:
    Sheet() {
        decoder_.decode(kAsciiFontSheetPng, static_cast<uint32_t>(kAsciiFontSheetPngSize));
    }
    bool ok() const { return decoder_.width == 640 && decoder_.height == 120; }
    // Whether pixel (x, y) of code ch's cell (y from the cell's top) is lit.
    bool lit(int ch, int x, int y) const {
        const int px = ch % 80 * 8 + x, py = ch / 80 * 12 + y;
        return decoder_.rgba[(py * 640 + px) * 4] > 127;
    }

private:
    ZqRawPngDecoder decoder_;
};

int channel(float c) { return static_cast<int>(std::lround(c * 255.0f)); }

// The shared target read back, bottom row first.
class Target {
public:
    Target() {
        ascii_target().push(false);
        pixels_ = test_support::read_pixels(0, 0, kW, kH);
        ascii_target().pop();
    }
    const unsigned char* at(int x, int y_from_top) const {
        return &pixels_[(static_cast<size_t>(kH - 1 - y_from_top) * kW + x) * 4];
    }
    // How many pixels of cell (row, col) differ from the glyph of the
    // screen's cell in its colours by more than one step.
    int cell_errors(const AsciiScreen& s, const Sheet& sheet, int row, int col) const {
        const float* fg = kAsciiPalette[s.fg_at(row, col) & 15];
        const float* bg = kAsciiPalette[s.bg_at(row, col) & 15];
        int errors = 0;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 8; ++x) {
                const float* c = sheet.lit(s.char_at(row, col), x, y) ? fg : bg;
                const unsigned char* p = at(col * 8 + x, row * 12 + y);
                for (int k = 0; k < 3; ++k) errors += std::abs(p[k] - channel(c[k])) > 1;
            }
        return errors;
    }
    bool all_black() const {
        for (size_t i = 0; i < pixels_.size(); i += 4)
            if (pixels_[i] || pixels_[i + 1] || pixels_[i + 2]) return false;
        return true;
    }
    // Kept as a PNG in $ZEMBLA_SCREENSHOT_DIR when that is set.
    void keep(const std::string& name) const {
        const std::string folder = test_support::screenshot_folder();
        if (!folder.empty()) test_support::write_png(folder + "/" + name + ".png", kW, kH, 4, pixels_.data(), true);
    }

private:
    std::vector<unsigned char> pixels_;
};

class AsciiEngineGl : public test_support::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_TRUE(sheet_.ok());
    }
    Sheet sheet_;
};

TEST_F(AsciiEngineGl, ACellIsItsGlyphInItsColoursAtItsPlace) {
    AsciiEngine engine;
    EXPECT_NO_GL_ERROR();
    engine.render_to_target();
    EXPECT_TRUE(Target().all_black());  // a cleared screen adds only black

    engine.put_char(0, 0, 219, 12, 0);     // solid red, top-left 8 x 12 pixels
    engine.put_char(0, 1, 0, 0, 4);        // the background alone
    engine.put_char(49, 79, 'A', 14, 1);   // a glyph, bottom-right
    engine.put_char(20, 33, 177, 7, 8);    // a shade: both colours
    engine.put_char(21, 33, 'g', 31, 17);  // indices beyond 15 use their low 4 bits
    engine.render_to_target();
    EXPECT_NO_GL_ERROR();
    Target t;
    const unsigned char* red = t.at(0, 0);
    EXPECT_TRUE(red[0] == 255 && red[1] == 0 && red[2] == 0);
    EXPECT_TRUE(t.at(7, 11)[0] == 255 && t.at(7, 11)[1] == 0);
    for (auto [row, col] : std::vector<std::pair<int, int>>{{0, 0}, {0, 1}, {0, 2}, {49, 79}, {20, 33}, {21, 33}})
        EXPECT_EQ(t.cell_errors(engine, sheet_, row, col), 0) << row << "," << col;
    t.keep("ascii-cells");
}

TEST_F(AsciiEngineGl, PresentShowsTheTargetInTheLetterBox) {
    AsciiEngine engine;
    engine.fill(219, 15, 0);
    engine.letterbox(320, 180, 4.0f / 3.0f);
    EXPECT_EQ(engine.viewport().x, 40);
    EXPECT_EQ(engine.viewport().width, 240);
    FBO window(320, 180, FBO_TYPE_RGBA8, 0);
    window.push(true);
    engine.render();
    EXPECT_NO_GL_ERROR();
    std::vector<unsigned char> p = test_support::read_pixels(0, 0, 320, 180);
    window.pop();
    auto white = [&](int x, int y) { return p[(y * 320 + x) * 4] == 255; };
    EXPECT_FALSE(white(39, 90));
    EXPECT_TRUE(white(40, 90));
    EXPECT_TRUE(white(279, 0));
    EXPECT_TRUE(white(279, 179));
    EXPECT_FALSE(white(280, 90));
}

// Presenting adds the screen onto what the bound target holds: black cells
// leave it as it was, coloured ones add their colour.
TEST_F(AsciiEngineGl, TheScreenIsAddedOntoWhatTheTargetHolds) {
    AsciiEngine engine;
    engine.fill_rect(0, 0, 20, 20, 219, 12, 0);  // a red block in the top-left quarter
    engine.letterbox(320, 180, 4.0f / 3.0f);
    FBO window(320, 180, FBO_TYPE_RGBA8, 0);
    glClearColor(0.25f, 0.5f, 0.0f, 1.0f);
    window.push(true);
    glClearColor(0, 0, 0, 0);
    engine.render();
    EXPECT_NO_GL_ERROR();
    std::vector<unsigned char> p = test_support::read_pixels(0, 0, 320, 180);
    window.pop();
    auto expect_rgb = [&](int x, int y, int r, int g, int b, const char* what) {
        const unsigned char* q = &p[(y * 320 + x) * 4];
        EXPECT_NEAR(q[0], r, 2) << what;
        EXPECT_NEAR(q[1], g, 2) << what;
        EXPECT_NEAR(q[2], b, 2) << what;
    };
    expect_rgb(20, 90, 64, 128, 0, "beside the letter box");
    expect_rgb(200, 60, 64, 128, 0, "a black cell");
    expect_rgb(60, 160, 255, 128, 0, "a red cell, added");
}

// Block text over fire, stars and a picture turned a quarter, as an intro
// screen would draw them.
TEST_F(AsciiEngineGl, ScreenWithBlockTextFireStarsAndARotatedPicture) {
    ascii_test::ManualTicks ticks(777);
    ascii_test::DataFolder folder;
    // 30 x 20 pixels: a left half of file colour 1 (red once remapped), a
    // right half of 9 (bright red: 12) and a top row of 2 (green).
    std::string raw(30 * 20, '\1');
    for (int r = 0; r < 20; ++r)
        for (int c = 15; c < 30; ++c) raw[r * 30 + c] = '\x09';
    for (int c = 0; c < 30; ++c) raw[c] = '\x02';
    folder.write("pic.raw", raw);

    AsciiEngine engine;
    AsciiFire::reset_clock();
    AsciiFire fire(&engine);
    for (int i = 0; i < 40; ++i) {
        ticks.now += 16;
        fire.update(AsciiFire::kHeatShaded);
    }
    AsciiStarfield stars(&engine, StarEdge::Left);
    stars.draw(3.0f);
    RawLoader picture(&engine, "pic.raw", 30, 20);
    // Rotated about its centre, cell (10, 15); the offsets bound it to
    // screen rows 0-19 and columns 0-29.
    picture.draw_rotated(219, 0, 0, 0, M_PI / 2, 1.0, 1.0);
    AsciiFont(&engine).draw_string(30, 20, 219, 11, 1, "ZEMBLA");

    engine.render_to_target();
    EXPECT_NO_GL_ERROR();
    Target t;
    t.keep("ascii-screen");

    // Every cell of the screen, whatever drew it, is its glyph in its colours.
    int bad = 0;
    for (int r = 0; r < 50; ++r)
        for (int c = 0; c < 80; ++c) bad += t.cell_errors(engine, sheet_, r, c) > 0;
    EXPECT_EQ(bad, 0);

    // What drew them: the text's Z, the fire along the bottom, a star, the
    // picture turned a quarter (its top row of green runs down screen
    // column 25, its columns along the screen rows).
    EXPECT_TRUE(engine.char_at(30, 20) == 219 && engine.fg_at(30, 20) == 11 && engine.bg_at(30, 20) == 1);
    int fire_cells = 0;
    for (int c = 0; c < 80; ++c) fire_cells += engine.char_at(48, c) >= 136 && engine.char_at(48, c) < 200;
    EXPECT_GT(fire_cells, 10);
    int star_cells = 0;
    for (int r = 0; r < 50; ++r)
        for (int c = 0; c < 80; ++c) star_cells += engine.char_at(r, c) == '.';
    EXPECT_GT(star_cells, 0);
    EXPECT_EQ(engine.fg_at(10, 25), 2);   // picture row 0 -> screen column 25
    EXPECT_EQ(engine.fg_at(10, 15), 12);  // the centre, column 15: the right half
    EXPECT_EQ(engine.fg_at(2, 15), 4);    // picture column 7 -> screen row 2
    EXPECT_EQ(engine.fg_at(18, 15), 12);  // picture column 23 -> screen row 18
}

}  // namespace
