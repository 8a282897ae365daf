// The full-screen shader scenes of "Orvenhal Korrin System": glowing balls
// and falling ash, both run by the music position in beats ("Time"), and the
// radiation trefoil, whose colours, place and size come from the "NukeTri"
// tracks and which has no clock.
#pragma once

#include "scenes/scene_fullscreen/fullscreen_scene.h"
#include "scenes/scene_tracks.h"
#include "util/math/vector.h"

class Music;

class NukeBalls : public FullScreenShaderScene {
public:
    NukeBalls();

protected:
    void set_uniforms(ShaderProgram& bound) override;
};

class NukeFallout : public FullScreenShaderScene {
public:
    NukeFallout();

protected:
    void set_uniforms(ShaderProgram& bound) override;
};

// What the trefoil's shader receives.
struct TrefoilUniforms {
    vec4 fg;           // "Fg": the symbol's colour and alpha
    vec4 bg;           // "Bg": the disc's colour and alpha
    float x, y;        // "Pos": the centre; the target's height spans -1..1
    float radius;      // "Radius": the disc's radius in the same units
};

class NukeSL : public FullScreenShaderScene {
public:
    NukeSL();
    // Builds the pair, then registers the tracks.
    void init() override;

    static const SceneTracks tracks;
    // The uniforms the tracks give at the current row: both colours fully
    // saturated, from hue and lightness.
    static TrefoilUniforms uniforms_from_tracks(Music& music);

protected:
    void set_uniforms(ShaderProgram& bound) override;
};
