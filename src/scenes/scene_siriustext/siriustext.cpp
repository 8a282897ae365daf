#include "scenes/scene_siriustext/siriustext.h"

#include <GL/glew.h>

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

void SiriusText::draw() {
    auto v = [this](const char* name) { return music->get_sync_value(name); };
    text->set_gl_state();
    text->set_size(face_size(v("textSize")));
    // Title: the series word in black over the music title in white;
    // credits: both in white.
    const bool title = v("textScene") < 0.5f;
    const float first = title ? 0.0f : 1.0f;
    glColor4f(first, first, first, v("textFade"));
    text->print_at(v("textX"), v("textY"), v("textScaleX"), title ? "wembrel" : "krestel");
    glColor4f(1.0f, 1.0f, 1.0f, v("textFade2"));
    text->print_at(v("textX2"), v("textY2"), v("textScaleX"), title ? "tidewell" : "ruddle");
}
