// The three shapes of the drum scene and which drum keys switch them on, as
// plain data and arithmetic: the scene (musicvectors.h) only asks the music
// which notes sound and draws.
//
// Shapes sit on a 1280 x 720 drawing area (y down): a white X of four
// corner strokes, a white frame along the border, and a red shape with
// curved sides and a white outline in the middle.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class Path;

enum DrumShape {
    kCornerX = 0,      // hi-hats: keys 44, 46
    kBorderFrame = 1,  // kick and side stick: keys 36, 37
    kSnareShape = 2,   // snares and toms: keys 40, 41, 45
    kDrumShapeCount = 3,
};

// The note track whose notes switch the shapes.
constexpr const char* kDrumTrack = "Ruff Kit";

// The shape a key shows; -1 for a key that shows nothing.
int drum_shape_for_key(int key);

// Which shapes show, given the key of every note of the drum track and
// whether each sounds (the two lists of the note queries, in note order).
std::array<bool, kDrumShapeCount> drum_shapes_shown(const std::vector<uint8_t>& keys, const std::vector<bool>& states);

// The path of one shape, with its segments, colours and the default width.
std::unique_ptr<Path> make_drum_shape(DrumShape shape);
