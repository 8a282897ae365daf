// The two glow-shape scenes: four rings of eight glowing square frames with
// protrusions (see glow_geometry.h), added to the picture with additive
// blending and no depth test. JqGlowShapes exposes the whole construction
// through the "jqgs" tracks; GlowShapes fixes sizes, radii and heights and
// exposes only the phase, the protrusion and the colours ("gs" tracks).
#pragma once

#include "scenes/scene_glowshapes/glow_geometry.h"
#include "scenes/scene_tracks.h"
#include "scenes/vertex_colour_scene.h"

class Music;

// Draws the rings that its track reader makes of the tracks it registers.
class GlowShapesScene : public VertexColourScene {
public:
    using Reader = GlowShapeSet (*)(Music& music);
    GlowShapesScene(const SceneTracks& tracks, Reader reader) : tracks_(tracks), reader_(reader) {}

    void init() override;
    void draw() override;

private:
    const SceneTracks& tracks_;
    Reader reader_;
};

class JqGlowShapes : public GlowShapesScene {
public:
    JqGlowShapes() : GlowShapesScene(tracks, shape_set_from_tracks) {}
    static const SceneTracks tracks;
    static GlowShapeSet shape_set_from_tracks(Music& music);
};

class GlowShapes : public GlowShapesScene {
public:
    GlowShapes() : GlowShapesScene(tracks, shape_set_from_tracks) {}
    static const SceneTracks tracks;
    static GlowShapeSet shape_set_from_tracks(Music& music);
};
