#include "scenes/scene_textintro/textintro.h"

#include "scenes/scene_textintro/intro_screen.h"
#include "util/music/music.h"

const SceneTracks TextIntro::tracks = {
    {"introProgress", 0.0f},  {"introSection", 0.0f},    {"introProg2", 0.0f},
    {"introProg3", 0.0f},     {"introRndThings", 0.0f},  {"introRndSeed", 0.0f},
    {"fireDecay", 0.5f},      {"fireDecayTarget", 0.25f}, {"fireDecaySpeed", 0.2f},
};

void TextIntro::init() {
    register_scene_tracks(*music, tracks);
    stars = std::make_unique<AsciiStarfield>(&engine, StarEdge::Left);
    fire = std::make_unique<AsciiFire>(&engine);
}

void TextIntro::draw() {
    auto v = [this](const char* name) { return music->get_sync_value(name); };
    const IntroValues values{v("introProgress"), v("introSection"), v("introProg2"),
                             v("introProg3"),    v("introRndThings"), v("introRndSeed")};
    const float decay = v("fireDecay");
    fire->set_decay(decay, v("fireDecayTarget"), v("fireDecaySpeed") * 0.001);
    // The stars drift left, ten columns a beat at their slowest speed unit.
    const IntroEffects effects{stars.get(), fire.get(), music->get_beat_step() * -10.0f, decay >= 0.0f};
    draw_intro(engine, values, effects);
    engine.render();
}
