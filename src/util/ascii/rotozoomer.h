// A 256 x 256 raw picture drawn over the whole character screen as a tiled,
// turning and zooming texture, in 4.12 fixed point (4096 = 1.0), one full
// block per cell. Its phases advance 50 times a second of the millisecond
// tick count (platform/ticks.h, which tests replace), independent of the
// music.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "util/ascii/ascii_screen.h"

// The rotozoomer's table: entries 0..255 the direction, (sin + 0.8) x 4096,
// entries 256..511 the zoom, 2 sin x 4096, at 1.41176 degrees a step.
std::array<int, 512> rotozoomer_table();

class Rotozoomer {
public:
    static constexpr int kSide = 256;
    static constexpr uint8_t kBlock = 219;
    static constexpr uint32_t kStepMs = 20;

    Rotozoomer(AsciiScreen* screen, const std::string& file);

    // Reads and remaps the picture (a short or damaged one ends the run).
    void load(const std::string& file);
    // Every cell: the texel reached by stepping (dx, dy) x scale x 10 along
    // a row and the same turned a quarter down the rows.
    void draw(int dx, int dy, int scale);
    // Draws with the current phases, then advances them one step for every
    // 20 ms the shared clock is behind the tick count.
    void tick();

    int angle() const { return angle_; }
    int zoom() const { return zoom_; }
    const std::array<int, 512>& table() const { return table_; }
    // Forgets the clock shared by all rotozoomers (tests).
    static void reset_clock();

private:
    AsciiScreen* screen_;  // borrowed
    int angle_ = 0;
    int zoom_ = 0;
    int orientation_ = 0;  // where a cell's texel lands: 0 as is, 1 rows, 2 columns, 3 both mirrored
    std::array<int, 512> table_;
    std::vector<uint8_t> picture_;
};
