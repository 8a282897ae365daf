// The title and credit lines: two lines of thin lower-case text, each with
// its own fade and position from the "text" tracks. "textScene" chooses the
// title pair ("wembrel" in black, "tidewell" in white) or the credit pair
// ("krestel", "ruddle", both white). The fades live in the alpha the scene
// writes, so they show when the frame loop blends the scene as the overlay.
#pragma once

#include <memory>

#include "scenes/scene.h"
#include "scenes/scene_tracks.h"

class Text;

class SiriusText : public Scene {
public:
    SiriusText();
    ~SiriusText() override;

    void init() override;
    void draw() override;
    void resize(int width, int height) override;

    static const SceneTracks tracks;

    // The face size for a "textSize" value: truncated, at least 1 and at
    // most kMaxFaceSize (a negative, zero, NaN or huge value would ask the
    // font for an impossible face).
    static unsigned int face_size(float text_size);
    static constexpr unsigned int kMaxFaceSize = 2048;

private:
    std::unique_ptr<Text> text;
};
