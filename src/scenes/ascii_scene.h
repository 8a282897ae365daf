// What the scenes of the character-screen production share: each draws on
// a character screen of its own, shown at 4:3 in the middle of its target,
// and most paint their background by the "flash" track, which the piano
// scene registers for all of them.
#pragma once

#include <cstdint>

#include "scenes/scene.h"
#include "util/ascii/ascii_engine.h"

// The background a flash value paints: 0 or less none, 1 dark grey, 2 light
// grey, 3 or more white (a cell of spaces in that colour on itself).
// Returns whether it painted anything.
bool paint_flash(AsciiScreen& screen, int flash);
// The same, clearing the screen when there is no flash.
void flash_background(AsciiScreen& screen, int flash);

// A track value as a cell count or offset: truncated toward zero, NaN 0,
// and kept within a million either way, so that sums of such values and
// screen positions never overflow.
int track_cells(float value);

class AsciiScene : public Scene {
public:
    // The base resize, then the screen's letter-box at 4:3.
    void resize(int width, int height) override;

    const AsciiScreen& screen() const { return engine; }

protected:
    // The "flash" track as an integer.
    int flash();

    AsciiEngine engine;
};
