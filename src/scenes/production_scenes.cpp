#include "scenes/production_scenes.h"

#include "scenes/scene_discotiles/discotiles.h"
#include "scenes/scene_droplets/droplets.h"
#include "scenes/scene_fireworks/fireworks.h"
#include "scenes/scene_fullscreen/nuke_scenes.h"
#include "scenes/scene_fullscreen/trancetunnel.h"
#include "scenes/scene_geysirs/geysirs.h"
#include "scenes/scene_glowshapes/glowshapes_scene.h"
#include "scenes/scene_jqboxes/jqboxes.h"
#include "scenes/scene_korrinsvg/korrinsvg.h"
#include "scenes/scene_modulators/modulators.h"
#include "scenes/scene_musicvectornotes/musicvectornotes.h"
#include "scenes/scene_musicvectors/musicvectors.h"
#include "scenes/scene_nukefloor/nukefloor.h"
#include "scenes/scene_nuketext/nuketext.h"
#include "scenes/scene_photos/photo_scenes.h"
#include "scenes/scene_shadertoy/shadertoy.h"
#include "scenes/scene_siriustext/siriustext.h"
#include "scenes/scene_sjakkvektor/sjakkvektor.h"
#include "scenes/scene_squarepeeps/squarepeeps.h"
#include "scenes/scene_textdrop/textdrop.h"
#include "scenes/scene_textintro/textintro.h"
#include "scenes/scene_textpiano/textpiano.h"
#include "scenes/scene_textribbons/textribbons.h"
#include "scenes/scene_textroto/textroto.h"
#include "scenes/scene_tobelroto/tobelroto.h"
#include "system/productions.h"

namespace {

// Every scene class of the program: a new class joins with one row (and the
// include of its header above).
const SceneList kSceneMakers = {
    {"DiscoTiles", make_scene<DiscoTiles>},
    {"Droplets", make_scene<Droplets>},
    {"Fireworks", make_scene<Fireworks>},
    {"Geysirs", make_scene<Geysirs>},
    {"GlowShapes", make_scene<GlowShapes>},
    {"JqBoxes", make_scene<JqBoxes>},
    {"JqGlowShapes", make_scene<JqGlowShapes>},
    {"KorrinBunker", make_scene<KorrinBunker>},
    {"KorrinImage", make_scene<KorrinImage>},
    {"KorrinSVG", make_scene<KorrinSVG>},
    {"Modulators", make_scene<Modulators>},
    {"MusicVectorNotes", make_scene<MusicVectorNotes>},
    {"MusicVectors", make_scene<MusicVectors>},
    {"NukeBalls", make_scene<NukeBalls>},
    {"NukeBlast", make_scene<NukeBlast>},
    {"NukeFallout", make_scene<NukeFallout>},
    {"NukeFloor", make_scene<NukeFloor>},
    {"NukeSL", make_scene<NukeSL>},
    {"NukeText", make_scene<NukeText>},
    {"ShaderToy", make_scene<ShaderToy>},
    {"SiriusText", make_scene<SiriusText>},
    {"SjakkVektor", make_scene<SjakkVektor>},
    {"SquarePeeps", make_scene<SquarePeeps>},
    {"TextDrop", make_scene<TextDrop>},
    {"TextIntro", make_scene<TextIntro>},
    {"TextPiano", make_scene<TextPiano>},
    {"TextRibbons", make_scene<TextRibbons>},
    {"TextRoto", make_scene<TextRoto>},
    {"TobelRoto", make_scene<TobelRoto>},
    {"TranceTunnel", make_scene<TranceTunnel>},
};

}  // namespace

SceneMaker scene_maker(const std::string& class_name) {
    for (const SceneEntry& entry : kSceneMakers)
        if (class_name == entry.class_name) return entry.make;
    return nullptr;
}

const SceneList* production_scene_list(int id) {
    // Built once per production from its row; the lists live as long as the
    // process, like the table.
    static const std::vector<SceneList> lists = [] {
        std::vector<SceneList> made;
        for (const ProductionRow& row : production_table()) {
            SceneList list;
            for (const char* name : row.scenes) list.push_back({name, scene_maker(name)});
            made.push_back(list);
        }
        return made;
    }();
    if (id < 0 || id >= static_cast<int>(lists.size())) return nullptr;
    return &lists[static_cast<size_t>(id)];
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

bool production_playable(int id) {
    const SceneList* list = production_scene_list(id);
    return list && missing_scene_classes(*list).empty();
}
