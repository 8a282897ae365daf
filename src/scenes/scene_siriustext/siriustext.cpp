#include "scenes/scene_siriustext/siriustext.h"

#include <GL/glew.h>

#include <algorithm>

#include "util/music/music.h"
#include "util/text/text.h"

const SceneTracks SiriusText::tracks = {
    {"textScene", 0.0f}, {"textFade", 1.0f}, {"textFade2", 1.0f},
    {"textY", 0.5f},     {"textX", 0.5f},    {"textY2", 0.5f},
    {"textX2", 0.5f},    {"textSize", 64.0f}, {"textScaleX", 1.0f},
};

SiriusText::SiriusText() = default;
SiriusText::~SiriusText() = default;

void SiriusText::init() {
    text = std::make_unique<Text>("data/common/fonts/GeosansLight.ttf", 512, Text::FONT_TYPE_BUFFER);
    register_scene_tracks(*music, tracks);
}

void SiriusText::resize(int w, int h) {
    Scene::resize(w, h);
    text->Reshape(w, h);
}

unsigned int SiriusText::face_size(float text_size) {
    if (!(text_size >= 1.0f)) return 1;
    if (text_size >= static_cast<float>(kMaxFaceSize)) return kMaxFaceSize;
    return static_cast<unsigned int>(text_size);
}

SiriusText::Lines SiriusText::lines() const {
    auto v = [this](const char* name) { return music->get_sync_value(name); };
    // Title: the series word in black over the music title in white;
    // credits: both in white.
    const bool title = v("textScene") < 0.5f;
    Lines lines;
    lines.face = face_size(v("textSize"));
    lines.line[0] = {title ? "wembrel" : "krestel", v("textX"), v("textY"), title ? 0.0f : 1.0f, v("textFade")};
    lines.line[1] = {title ? "tidewell" : "ruddle", v("textX2"), v("textY2"), 1.0f, v("textFade2")};
    lines.stretch = v("textScaleX");
    return lines;
}

void SiriusText::draw() {
    const Lines drawn = lines();
    text->set_gl_state();
    text->set_size(drawn.face);
    for (const Line& line : drawn.line) {
        glColor4f(line.grey, line.grey, line.grey, line.fade);
        text->print_at(line.x, line.y, drawn.stretch, "%s", line.words);
    }
}

ViewportRect SiriusText::overlay_area() {
    // The frame loop draws the scene alone over transparent black, so a
    // line at fade 0 leaves alpha 0, which its blend passes over.
    const Lines drawn = lines();
    text->set_size(drawn.face);
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool any = false;
    for (const Line& line : drawn.line) {
        if (line.fade == 0.0f) continue;
        const ViewportRect a = text->area_at(line.x, line.y, drawn.stretch, line.words);
        if (a.width <= 0 || a.height <= 0) continue;
        x0 = any ? std::min(x0, a.x) : a.x;
        y0 = any ? std::min(y0, a.y) : a.y;
        x1 = any ? std::max(x1, a.x + a.width) : a.x + a.width;
        y1 = any ? std::max(y1, a.y + a.height) : a.y + a.height;
        any = true;
    }
    return any ? ViewportRect{x0, y0, x1 - x0, y1 - y0} : ViewportRect{};
}
