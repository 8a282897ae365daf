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
    // Where the lines of the coming draw can be: the union of the visible
    // lines' boxes; empty when both are faded out.
    ViewportRect overlay_area() override;

    static const SceneTracks tracks;

    // The face size for a "textSize" value: truncated, at least 1 and at
    // most kMaxFaceSize (a negative, zero, NaN or huge value would ask the
    // font for an impossible face).
    static unsigned int face_size(float text_size);
    static constexpr unsigned int kMaxFaceSize = 2048;

private:
    // The two lines of a frame, from the tracks.
    struct Line {
        const char* words;
        float x, y;
        float grey;  // 0 black, 1 white
        float fade;  // the alpha written
    };
    struct Lines {
        unsigned int face;
        float stretch;
        Line line[2];
    };
    Lines lines() const;

    std::unique_ptr<Text> text;
};
