// The box grid scene: a rectangular grid of translucent boxes whose size and
// colour blend from one corner of the grid to the opposite one, added to the
// picture with additive blending and no depth test, so overlaps glow.
// Everything comes from the "jqbx" tracks; the colours are plain red, green,
// blue and alpha although their tracks end in H, S, L and A.
#pragma once

#include "scenes/scene_jqboxes/box_grid.h"
#include "scenes/scene_tracks.h"
#include "scenes/vertex_colour_scene.h"

class Music;

class JqBoxes : public VertexColourScene {
public:
    void init() override;
    void draw() override;

    static const SceneTracks tracks;

    // The grid the tracks describe at the current row.
    static BoxGrid grid_from_tracks(Music& music);

private:
    void draw_boxes();
};
