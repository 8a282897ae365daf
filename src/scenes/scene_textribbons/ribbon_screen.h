// The ribbons scene's screen without drawing: wavy ribbons of random
// characters running left from their heads, fading from white through
// yellow and red to grey, a ribbon's core turning solid light cyan while its
// note sounds.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "util/ascii/ascii_screen.h"

constexpr int kRibbonLength = 32;
constexpr int kRibbons = 4;

struct RibbonColours {
    uint8_t fg, bg;
};
// The colours along a ribbon, from its head (index 0) back.
const std::array<RibbonColours, kRibbonLength>& ribbon_colours();

// One ribbon from its head at (row, col) back to the left, its wave at
// `phase`; the characters come from the program's generator in drawing
// order.
void draw_ribbon(AsciiScreen& screen, int row, int col, float phase, bool lit);

// Which note of the track lights each ribbon: ribbon 1 the third note,
// 2 the fourth, 3 the first, 4 the second.
constexpr std::array<size_t, kRibbons> kRibbonNotes = {2, 3, 0, 1};
// Whether ribbon `n` (0-based) is lit by these note states; a note the
// track does not have is never lit.
bool ribbon_lit(const std::vector<bool>& states, int n);
