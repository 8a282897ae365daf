// The group title and credits of "Orvenhal Korrin System" in a bold face:
// "textScene" below 0.5 writes the three title words "Orvenhal", "Korrin",
// "System", otherwise the two credit lines. All lines share one colour from
// the hue, saturation and lightness tracks; each has its own alpha and
// position (fractions of the target from its lower left). The fades live in
// the alpha the scene writes, so they show when the frame loop blends the
// scene as the overlay.
#pragma once

#include <memory>

#include "scenes/scene.h"
#include "scenes/scene_tracks.h"

class Text;

class NukeText : public Scene {
public:
    NukeText();
    ~NukeText() override;

    void init() override;
    void draw() override;
    void resize(int width, int height) override;

    static const SceneTracks tracks;

private:
    std::unique_ptr<Text> text;
};
