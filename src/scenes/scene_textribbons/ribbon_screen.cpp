#include "scenes/scene_textribbons/ribbon_screen.h"

#include <cmath>

#include "util/math/random.h"
#include "util/math/saturate.h"

const std::array<RibbonColours, kRibbonLength>& ribbon_colours() {
    static const std::array<RibbonColours, kRibbonLength> colours = [] {
        std::array<RibbonColours, kRibbonLength> c{};
        for (int i = 0; i < kRibbonLength; ++i) {
            if (i < 2) c[i] = {15, 15};
            else if (i < 4) c[i] = {15, 14};
            else if (i == 4) c[i] = {14, 12};
            else if (i == 5) c[i] = {14, 4};
            else if (i < 16) c[i] = {12, 12};
            else if (i < 26) c[i] = {12, 4};
            else if (i < 30) c[i] = {12, 0};
            else c[i] = {8, 0};
        }
        return c;
    }();
    return colours;
}

void draw_ribbon(AsciiScreen& screen, int head_row, int head_col, float phase, bool lit) {
    const auto& colours = ribbon_colours();
    auto random_char = [] { return static_cast<uint8_t>(random_next() % 256); };
    for (int i = 0; i < kRibbonLength; ++i) {
        const int col = head_col - i;
        const int row = head_row + saturate_int(std::sin(phase - static_cast<float>(i) * 0.15f) * 3.0f);
        const RibbonColours core = lit ? RibbonColours{11, 11} : colours[i];
        screen.put_char(row, col, random_char(), core.fg, core.bg);
        // Three cells thick near the head.
        if (i >= 1 && 2 * i < kRibbonLength) {
            const RibbonColours edge = colours[2 * i];
            screen.put_char(row - 1, col, random_char(), edge.fg, edge.bg);
            screen.put_char(row + 1, col, random_char(), edge.fg, edge.bg);
        }
    }
}

bool ribbon_lit(const std::vector<bool>& states, int n) {
    const size_t note = kRibbonNotes[static_cast<size_t>(n)];
    return note < states.size() && states[note];
}
