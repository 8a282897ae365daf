#include "scenes/scene_textintro/intro_screen.h"

#include <algorithm>
#include <cmath>

#include "scenes/ascii_scene.h"
#include "util/ascii/fire.h"
#include "util/ascii/starfield.h"
#include "util/math/random.h"
#include "util/math/saturate.h"

namespace {

constexpr int kTransparent = '.';
constexpr int kLogo = 0, kLogoShifted = 1, kTitle = 2, kSubtitle = 3;

// Section 2: the pictures by the integer part of prog3, scrolled by its
// fraction, over the stars and the fire.
void draw_scroller(AsciiScreen& screen, float prog3, const IntroEffects& effects) {
    const float t = std::fmod(prog3, 1.0f);
    const int offset = saturate_int(160.0f * t - 80.0f);
    if (effects.stars) effects.stars->draw(effects.star_dt);
    if (effects.fire && effects.fire_on) effects.fire->update(AsciiFire::kHeatShaded);
    auto picture = [&](int index, int row_offset) {
        screen.draw_builtin_picture(index, 11, 1, kTransparent, AsciiFlip::Upright, row_offset, 0);
    };
    switch (track_cells(prog3)) {
    case 1:
        picture(kSubtitle, offset);
        break;
    case 2:
        picture(kSubtitle, saturate_int(20.0f * t));
        picture(kTitle, offset - 10);
        break;
    case 3:
        picture(kSubtitle, offset + 10);
        picture(kTitle, offset - 10);
        break;
    case 4:
        // The logo revealed from row 10 down.
        for (int r = 10; r < 10 + saturate_int(48.0f * t); ++r)
            screen.draw_builtin_row(r, 0, kLogo, r, 11, 1, kTransparent);
        break;
    default:
        picture(kLogo, offset);
        break;
    }
}

// Section 4: the bar alone in white with a three-column glint at `glint`.
void draw_glint_bar(AsciiScreen& screen, int bar, int glint) {
    for (int i = 0; i < AsciiScreen::kCols && i < bar; ++i) {
        if (i == glint)
            put_intro_bar_column(screen, i, 15, 7);
        else if (i == glint - 2)
            put_intro_bar_column(screen, i, 11, 7);
        else if (i == glint - 1)
            put_intro_bar_column(screen, i, 9, 7);
        else
            put_intro_bar_column(screen, i, 15, 0);
    }
}

// The logo wiped in: everything right of column `bar` blanked.
void draw_wiped_logo(AsciiScreen& screen, AsciiFlip flip, int bar) {
    screen.draw_builtin_picture(kLogo, 15, 0, kTransparent, flip, 0, 0);
    screen.fill_rect(0, bar, AsciiScreen::kRows, AsciiScreen::kCols - bar, 0, 0, 0);
}

}  // namespace

int intro_section(float value) { return track_cells(value + 0.5f); }

void put_intro_bar_column(AsciiScreen& screen, int col, uint8_t fg, uint8_t bg) {
    screen.put_char(46, col, 178, fg, bg);
    screen.put_char(45, col, 177, fg, bg);
    screen.put_char(44, col, 176, fg, bg);
}

void draw_intro_bar(AsciiScreen& screen, int bar, int tower) {
    for (int i = 0; i < AsciiScreen::kCols && i < bar; ++i) put_intro_bar_column(screen, i, 15, 0);
    // Rows above the screen's top take no cells: the tower stops at row 0.
    for (int j = 0; j < tower && j <= 45; ++j) {
        const int r = 45 - j;
        if (j == 0) {
            screen.put_char(r, bar, 177, 15, 0);
            screen.put_char(r, bar + 1, 178, 15, 0);
            screen.put_char(r + 1, bar + 1, 178, 15, 0);
            screen.put_char(r + 1, bar, 178, 15, 0);
        } else {
            screen.put_char(r, bar - 1, 176, 15, 0);
            screen.put_char(r, bar, 177, 15, 0);
            screen.put_char(r, bar + 1, 178, 15, 0);
        }
    }
}

void draw_glitch_cells(AsciiScreen& screen, int count, int seed) {
    random_seed(static_cast<uint32_t>(seed));
    for (int i = 0; i < count && i < kIntroMaxGlitchCells; ++i) {
        const int col = random_next() % AsciiScreen::kCols;
        const int row = random_next() % AsciiScreen::kRows;
        const int ch = random_next() % 256;
        const int fg = random_next() % 16;
        const int bg = random_next() % 16;
        screen.put_char(row, col, static_cast<uint8_t>(ch), static_cast<uint8_t>(fg), static_cast<uint8_t>(bg));
    }
}

void draw_intro(AsciiScreen& screen, const IntroValues& v, const IntroEffects& effects) {
    const int bar = track_cells(v.progress);
    const int tower = track_cells(v.prog2);
    screen.clear();
    switch (intro_section(v.section)) {
    case 1:
        draw_wiped_logo(screen, AsciiFlip::Vertical, bar);
        draw_intro_bar(screen, bar, tower);
        break;
    case 2:
        draw_scroller(screen, v.prog3, effects);
        break;
    case 3:
        if (effects.fire) effects.fire->update(AsciiFire::kHeatShaded);
        break;
    case 4:
        draw_glint_bar(screen, bar, tower);
        break;
    default: {
        draw_wiped_logo(screen, AsciiFlip::Upright, bar);
        draw_intro_bar(screen, bar, tower);
        // A second bar along the top, growing from the right edge.
        const int top = track_cells(v.prog3);
        for (int i = 0; i < AsciiScreen::kCols && i < top; ++i) {
            screen.put_char(4, 79 - i, 178, 15, 0);
            screen.put_char(5, 79 - i, 177, 15, 0);
            screen.put_char(6, 79 - i, 176, 15, 0);
        }
        break;
    }
    }
    draw_glitch_cells(screen, track_cells(v.rnd_things), track_cells(v.rnd_seed + 0.5f));
}
