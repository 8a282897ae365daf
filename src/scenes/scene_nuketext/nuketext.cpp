#include "scenes/scene_nuketext/nuketext.h"

#include <GL/glew.h>

#include "scenes/scene_siriustext/siriustext.h"
#include "util/music/music.h"
#include "util/text/text.h"
#include "util/utils.h"

const SceneTracks NukeText::tracks = {
    {"textScene", 0.0f}, {"textHue", 0.12f}, {"textSat", 1.0f},   {"textVal", 0.5f},
    {"textA1", 1.0f},    {"textA2", 1.0f},   {"textA3", 1.0f},    {"textY1", 0.7f},
    {"textX1", 0.1f},    {"textY2", 0.45f},  {"textX2", 0.33f},   {"textY3", 0.2f},
    {"textX3", 0.6f},    {"textSize", 128.0f}, {"textScaleX", 1.0f},
};

NukeText::NukeText() = default;
NukeText::~NukeText() = default;

void NukeText::init() {
    text = std::make_unique<Text>("data/common/fonts/motherland.ttf", 512, Text::FONT_TYPE_BUFFER);
    register_scene_tracks(*music, tracks);
}

void NukeText::resize(int w, int h) {
    Scene::resize(w, h);
    text->Reshape(w, h);
}

void NukeText::draw() {
    auto v = [this](const char* name) { return music->get_sync_value(name); };
    text->set_gl_state();
    // The same bounds as the other title scene: a negative, zero or huge
    // size would ask the font for an impossible face.
    text->set_size(SiriusText::face_size(v("textSize")));
    const vec3 rgb = hsl_to_rgb(vec3(v("textHue"), v("textSat"), v("textVal")));
    const float stretch = v("textScaleX");
    const bool title = v("textScene") < 0.5f;
    glColor4f(rgb.x, rgb.y, rgb.z, v("textA1"));
    text->print_at(v("textX1"), v("textY1"), stretch, title ? "Orvenhal" : "Code   Brask");
    glColor4f(rgb.x, rgb.y, rgb.z, v("textA2"));
    text->print_at(v("textX2"), v("textY2"), stretch, title ? "Korrin" : "Music   Fennock");
    if (!title) return;
    glColor4f(rgb.x, rgb.y, rgb.z, v("textA3"));
    text->print_at(v("textX3"), v("textY3"), stretch, "System");
}
