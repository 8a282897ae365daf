// The dance floor's brightness arithmetic, kept apart from GL: a square of
// tiles, one brightness per tile (the alpha of its instance colour), made
// each frame from three patterns. Tile (x, z) is instance z * side + x.
//
// - the scroll: a sine running over the instance numbers, a quarter turn a
//   beat;
// - drops, one every 2 beats: a disc (or, in ring mode, a circle) growing
//   from a tile and fading over 5 beats; brightest just inside (outside) its
//   front, where life / distance-to-front has no bound;
// - spots, one every quarter beat: a cubic fall-off over 15 tiles, fading
//   over 2 beats.
//
// Drops and spots are drawn once from the program's random generator over
// the whole song, in time order, at tiles between 15 and side - 15.
#pragma once

#include <vector>

#include "util/math/vector.h"

class DiscoFloor {
public:
    static constexpr unsigned kTilesPerSide = 80;
    static constexpr float kTileSize = 1.0f;
    static constexpr float kTileGap = 0.1f;

    explicit DiscoFloor(unsigned tiles_per_side = kTilesPerSide) : side(tiles_per_side) {}

    unsigned tiles() const { return side * side; }
    // Centre of tile column (or row) n on the floor: (n - side / 2) * 1.1.
    float tile_centre(unsigned n) const;

    // Drops every 2 beats, then spots every quarter beat, from beat 0 while
    // before `length_beats`. Each event draws its tile z first, then x.
    void make_events(float length_beats);

    // Every tile's brightness at `beats` from the three switch values (the
    // "disc" tracks): scroll above 0.5; drops above 1.5 as rings, above 0.5
    // as discs; spots above 0.5. Red, green and blue stay as they are.
    void light(std::vector<vec4>& colours, float beats, float scroll, float drops, float spots);

    void clear_tiles(std::vector<vec4>& colours) const;
    void add_scroll(std::vector<vec4>& colours, float beats) const;
    void add_drops(std::vector<vec4>& colours, float beats, bool ring) const;
    // Rewrites the spot weights first.
    void add_spots(std::vector<vec4>& colours, float beats);

    unsigned side;
    std::vector<float3> drops;  // time in beats, tile x, tile z
    std::vector<vec4> spots;    // time in beats, tile x, tile z, weight at the last add_spots
};
