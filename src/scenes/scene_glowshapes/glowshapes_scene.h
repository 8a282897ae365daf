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

// Draws what shape_set describes; the subclasses register their tracks and
// read them into a GlowShapeSet.
class GlowShapesScene : public VertexColourScene {
public:
    void init() override;
    void draw() override;

protected:
    virtual const SceneTracks& scene_tracks() const = 0;
    virtual GlowShapeSet shape_set() = 0;
};

class JqGlowShapes : public GlowShapesScene {
public:
    static const SceneTracks tracks;
    static GlowShapeSet shape_set_from_tracks(Music& music);

private:
    const SceneTracks& scene_tracks() const override { return tracks; }
    GlowShapeSet shape_set() override { return shape_set_from_tracks(*music); }
};

class GlowShapes : public GlowShapesScene {
public:
    static const SceneTracks tracks;
    static GlowShapeSet shape_set_from_tracks(Music& music);

private:
    const SceneTracks& scene_tracks() const override { return tracks; }
    GlowShapeSet shape_set() override { return shape_set_from_tracks(*music); }
};
