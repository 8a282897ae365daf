#include "scenes/production_scenes.h"

#include "scenes/scene_glowshapes/glowshapes_scene.h"
#include "scenes/scene_jqboxes/jqboxes.h"
#include "scenes/scene_siriustext/siriustext.h"
#include "scenes/scene_tobelroto/tobelroto.h"
#include "system/zemblasystem.h"

// A scene class joins its production by naming its maker here, e.g.
// {"TobelRoto", make_scene<TobelRoto>}.
namespace {

const SceneList kDebug = {
    {"TobelRoto", make_scene<TobelRoto>},
};

const SceneList kBrisken = {
    {"DiscoTiles", nullptr}, {"SjakkVektor", nullptr},  {"Geysirs", nullptr},
    {"TranceTunnel", nullptr}, {"Fireworks", nullptr},  {"SquarePeeps", nullptr},
    {"GlowShapes", make_scene<GlowShapes>},
    {"SiriusText", make_scene<SiriusText>},
    {"Droplets", nullptr},
};

const SceneList kPelltide = {
    {"MusicVectors", nullptr},
    {"MusicVectorNotes", nullptr},
};

const SceneList kQuendle = {
    {"TextIntro", nullptr}, {"TextRoto", nullptr},    {"TextPiano", nullptr},
    {"TextDrop", nullptr},  {"TextRibbons", nullptr}, {"Modulators", nullptr},
};

const SceneList kTidewell = {
    {"JqGlowShapes", make_scene<JqGlowShapes>},
    {"JqBoxes", make_scene<JqBoxes>},
    {"SiriusText", make_scene<SiriusText>},
};

const SceneList kKorrin = {
    {"ShaderToy", nullptr},    {"KorrinSVG", nullptr}, {"NukeSL", nullptr},
    {"KorrinImage", nullptr},  {"KorrinBunker", nullptr}, {"NukeBalls", nullptr},
    {"NukeBlast", nullptr},    {"NukeText", nullptr},  {"NukeFallout", nullptr},
    {"NukeFloor", nullptr},
};

}  // namespace

const SceneList* production_scene_list(int id) {
    switch (id) {
        case PRODUCTION_DEBUG: return &kDebug;
        case PRODUCTION_BRISKEN: return &kBrisken;
        case PRODUCTION_PELLTIDE: return &kPelltide;
        case PRODUCTION_QUENDLE: return &kQuendle;
        case PRODUCTION_TIDEWELL: return &kTidewell;
        case PRODUCTION_KORRIN: return &kKorrin;
        default: return nullptr;
    }
}

std::string missing_scene_classes(const SceneList& list) {
    std::string names;
    for (const SceneEntry& entry : list) {
        if (entry.make) continue;
        if (!names.empty()) names += ", ";
        names += entry.class_name;
    }
    return names;
}
