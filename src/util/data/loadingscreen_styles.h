// The loading screen's styles, drawn by LoadingScreen::tick into the
// letter-boxed viewport between clearing and presenting. Each creates what it
// draws with on its first call and keeps it for the rest of the run.
//
// Everything is drawn in unit-square coordinates: x from 0 (left) to 1
// (right) of the viewport, y from 0 (bottom) to 1 (top).
#pragma once

#include <array>
#include <memory>

class AsciiScreen;
class Texture;

namespace LoadingScreen {

// Style 0: the production's logo over the whole viewport (when there is
// one), with a progress bar near the bottom edge.
void draw_progress_bar(float alpha, int width, int height, int done, int total);

// Style 1: the 80 x 50 character screen at 4:3, black but for a bar of
// shades near its bottom-left corner, one to four cells long.
void draw_ascii(float alpha, int width, int height, int done, int total);

// Style 2: a glow around (0.1, 0.1) whose ring widens with the progress.
void draw_circles(float alpha, int width, int height, int done, int total);

// Clears the colour, depth, stencil and accumulation buffers.
void clear_all_buffers();

// The progress bar's five quads (top, bottom, left and right border, fill),
// four corners each as x, y pairs. The fill covers done / total of the
// frame (none when the total is 0); the borders are equally thick in pixels
// in a viewport of ratio `aspect`.
std::array<float, 40> progress_bar_corners(int done, int total, float aspect);

// The brightness of the progress bar and logo: alpha, except that the
// picture stays at full brightness while done is at most half the total.
float progress_bar_brightness(float alpha, int done, int total);

// The ASCII style's bar: 3 x done / total + 1 cells, 1 for a total of 0.
int ascii_bar_length(int done, int total);
// Puts the bar on a screen (rows 44 to 46, from column 0).
void put_ascii_bar(AsciiScreen& screen, int done, int total);

// The logo that the progress bar shows: null until load_logo, which hands
// it over here (the previous one, if any, is deleted). It is kept for the
// context, with the styles' programs and buffers (util/context_cache.h).
Texture* logo();
void set_logo(std::unique_ptr<Texture> texture);

}  // namespace LoadingScreen
