// A rising flame on the character screen: a heat grid three times finer
// across and twice finer down than the screen, blurred upwards and fed with
// sparks along its bottom row, stepped every 16 ms of the millisecond tick
// count (platform/ticks.h, which tests replace). Hot cells are written as
// characters coloured from a 25-step ramp; cold cells are left alone.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "util/ascii/ascii_screen.h"

class AsciiFire {
public:
    static constexpr int kWidth = 3 * AsciiScreen::kCols;   // 240 sub-columns
    static constexpr int kHeight = 2 * AsciiScreen::kRows;  // 100 sub-rows
    static constexpr int kSpots = 25;
    static constexpr uint32_t kStepMs = 16;
    static constexpr int kMaxStepsPerUpdate = 5;
    static constexpr int kHeatShaded = -1;  // update's ch: characters by heat

    explicit AsciiFire(AsciiScreen* screen);

    // Colour ramp 0 (red to white), 1 (the palette in order) or 2 (blue to
    // white); other values keep the ramp.
    void set_palette(int preset);
    void set_decay(double decay, double target, double step);
    // Runs the steps that are due (at most 5; a longer backlog is dropped),
    // then writes the hot cells with `ch`, or by heat when it is -1.
    void update(int ch);

    // One step of the simulation.
    void step();
    // Writes the hot cells onto the screen.
    void write_screen(int ch);

    double decay() const { return decay_; }
    const std::array<uint8_t, 25>& colors() const { return colors_; }
    uint8_t heat(int sub_row, int sub_col) const { return heat_[sub_row * kWidth + sub_col]; }
    void set_heat(int sub_row, int sub_col, uint8_t value) { heat_[sub_row * kWidth + sub_col] = value; }

    // Forgets the clock shared by all fires (tests).
    static void reset_clock();

private:
    AsciiScreen* screen_;  // borrowed
    std::vector<uint8_t> grid_a_;
    std::vector<uint8_t> grid_b_;
    // After the first step both name grid_b_: from then on each step works
    // in place, reading values it wrote a moment before, which is part of
    // the flame's look.
    uint8_t* heat_;
    uint8_t* next_;
    double decay_ = 0.5;
    double decay_target_ = 0.25;
    double decay_step_ = 0.002;
    std::array<uint8_t, 25> colors_{};
};

// A screen cell's heat from the sum of its six sub-cells: the mean kept to
// 8 bits (it wraps above 767).
inline uint8_t fire_cell_value(int six_sum) { return static_cast<uint8_t>(six_sum / 3); }
// The ramp band of that value; band 0 leaves the cell alone.
inline int fire_band(uint8_t value) { return (value / 10) % 25; }
