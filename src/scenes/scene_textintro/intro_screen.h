// What the intro of the character-screen production puts on the screen in a
// frame, from its track values, without drawing: a fake loading bar of shade
// characters with a tower rising from its head while the maker's logo is
// wiped in, the logo and lettering pictures scrolling over stars and fire,
// a coloured bar with a glint, and random glitch cells on top.
#pragma once

#include "util/ascii/ascii_screen.h"

class AsciiFire;
class AsciiStarfield;

// The tracks as read in a frame.
struct IntroValues {
    float progress = 0;    // "introProgress": the bar's length in columns
    float section = 0;     // "introSection": what is drawn, to the nearest integer
    float prog2 = 0;       // "introProg2": the tower's height, the glint's column
    float prog3 = 0;       // "introProg3": picture choice (integer part) and scroll (fraction)
    float rnd_things = 0;  // "introRndThings": glitch cells
    float rnd_seed = 0;    // "introRndSeed": their seed, to the nearest integer
};

// The section a track value selects: the nearest integer (1.5 is 2).
int intro_section(float value);

// The moving effects that the scrolling section draws (both borrowed).
struct IntroEffects {
    AsciiStarfield* stars = nullptr;
    AsciiFire* fire = nullptr;
    float star_dt = 0;     // the starfield's step this frame
    bool fire_on = true;   // "fireDecay" is not negative
};

// The most glitch cells drawn in a frame: a screen holds 4000 cells, so a
// keyed count far above that adds nothing but time.
constexpr int kIntroMaxGlitchCells = 100000;

// The whole frame onto a cleared screen.
void draw_intro(AsciiScreen& screen, const IntroValues& values, const IntroEffects& effects);

// The bar's three shade cells in column `col`, rows 44 to 46.
void put_intro_bar_column(AsciiScreen& screen, int col, uint8_t fg, uint8_t bg);
// The bar over columns 0 to bar - 1 and a tower of `tower` rows at its head.
void draw_intro_bar(AsciiScreen& screen, int bar, int tower);
// `count` random cells from the program's generator seeded with `seed`:
// the same seed gives the same cells.
void draw_glitch_cells(AsciiScreen& screen, int count, int seed);
