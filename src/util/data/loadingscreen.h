// The loading screen: shown while the scenes load, advanced by every load of
// the data layer, faded out when the show starts.
#pragma once

namespace LoadingScreen {

void setup(int width, int height, float aspect);
void load_logo();

// One step: polls Escape, and redraws at most every 40 ms unless forced.
// Does nothing once loading has finished.
void tick(float alpha, bool force);

// Fades the screen out over the production's fade time and marks loading as
// finished.
void fade_out();

}  // namespace LoadingScreen
