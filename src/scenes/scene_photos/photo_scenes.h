// The photo scenes of "Orvenhal Korrin System":
// - KorrinImage: one photo fitted into a track-driven square with the plain
//   textured program;
// - KorrinBunker: one of two photos, chosen by "BunkerMode", fitted the same
//   way through its own program, which also gets an edge colour and the
//   strengths of photo and edges;
// - NukeBlast: seven photos bound at once on units 0-6 and mixed by the
//   blast program over the whole target with one weight each, plus an edge
//   colour and strength.
// Rectangles are in the unit square of the target, (0, 0) its lower left.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "scenes/scene.h"
#include "scenes/scene_tracks.h"
#include "util/math/mat4.h"
#include "util/math/vector.h"
#include "util/texture/texture.h"

class Music;
class ShaderProgram;

// The colour of the hue, saturation and lightness tracks with the alpha
// track as alpha: the "EdgeColor" of the bunker and blast programs.
vec4 edge_colour_from_tracks(Music& music, const char* hue, const char* saturation,
                             const char* lightness, const char* alpha);

class KorrinImage : public Scene {
public:
    void init() override;
    void draw() override;

    static const SceneTracks tracks;

private:
    Texture image;
};

class KorrinBunker : public Scene {
public:
    KorrinBunker();
    ~KorrinBunker() override;

    void init() override;
    void draw() override;

    static const SceneTracks tracks;
    // The photo a "BunkerMode" value shows among `count`: truncated toward
    // zero, then at most the last and at least the first (NaN shows the
    // first).
    static size_t photo_index(float mode, size_t count);

private:
    std::vector<std::unique_ptr<Texture>> images;
    std::unique_ptr<ShaderProgram> program;
    mat4 projection{mat4::PRESET_UNIT_SQUARE};
};

class NukeBlast : public Scene {
public:
    NukeBlast();
    ~NukeBlast() override;

    void init() override;
    void draw() override;

    static const SceneTracks tracks;

private:
    std::vector<std::unique_ptr<Texture>> images;
    std::unique_ptr<ShaderProgram> program;
    mat4 projection{mat4::PRESET_UNIT_SQUARE};
};
