// Thirty one-character stars drifting sideways across the character screen,
// faster ones brighter.
#pragma once

#include <cstdint>

#include "util/ascii/ascii_screen.h"

enum class StarEdge { Left, Right };

class AsciiStarfield {
public:
    static constexpr int kStars = 30;

    // Every star starts at the given edge, on a random row at a random
    // speed.
    AsciiStarfield(AsciiScreen* screen, StarEdge start);

    // Moves every star by speed x dt columns; one that leaves the screen
    // comes back at the left edge when dt is positive, at the right edge
    // otherwise. Then puts them as '.' over the cells' backgrounds.
    void draw(float dt);

    // 8 for the slowest third of speeds, 7 for the middle, 15 the fastest.
    static uint8_t colour_of(float speed);

    float x[kStars];
    int row[kStars];
    float speed[kStars];  // 0.5 .. 5 columns per unit of dt

private:
    void respawn(int i, StarEdge edge);

    AsciiScreen* screen_;  // borrowed
};
