// TextPiano: two rows of piano keyboards and block-letter greetings
// scrolling left over a starfield, the keys lit while the note track
// "Old Vinyl Piano" plays them, and a closing pair of lines that "lastText"
// slides in (piano_screen.h). It registers the "flash" track that every
// scene of the character-screen production paints its background by.
#pragma once

#include <memory>
#include <vector>

#include "scenes/ascii_scene.h"
#include "scenes/scene_textpiano/piano_screen.h"
#include "scenes/scene_tracks.h"
#include "util/ascii/block_font.h"
#include "util/ascii/starfield.h"

class TextPiano : public AsciiScene {
public:
    static const SceneTracks tracks;
    static constexpr const char* kNoteTrack = "Old Vinyl Piano";

    void init() override;
    void draw() override;

private:
    std::vector<PianoKey> keys;
    std::unique_ptr<AsciiStarfield> stars;
    std::unique_ptr<AsciiFont> font;
    std::vector<PianoItem> upper;
    std::vector<PianoItem> lower;
};
