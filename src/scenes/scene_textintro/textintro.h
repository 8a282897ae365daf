// TextIntro, the opening of the character-screen production: the fake
// loading bar and the maker's logo, then the logo and lettering scrolling
// over stars and fire, all chosen and moved by its tracks (intro_screen.h).
#pragma once

#include <memory>

#include "scenes/ascii_scene.h"
#include "scenes/scene_tracks.h"
#include "util/ascii/fire.h"
#include "util/ascii/starfield.h"

class TextIntro : public AsciiScene {
public:
    static const SceneTracks tracks;

    void init() override;
    void draw() override;

private:
    std::unique_ptr<AsciiStarfield> stars;
    std::unique_ptr<AsciiFire> fire;
};
