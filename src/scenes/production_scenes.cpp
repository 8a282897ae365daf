#include "scenes/production_scenes.h"

#include <algorithm>

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
// include of its header above). A class's track table comes with it.
const SceneList kSceneMakers = {
    scene_class<DiscoTiles>("DiscoTiles"),
    scene_class<Droplets>("Droplets"),
    scene_class<Fireworks>("Fireworks"),
    scene_class<Geysirs>("Geysirs"),
    scene_class<GlowShapes>("GlowShapes"),
    scene_class<JqBoxes>("JqBoxes"),
    scene_class<JqGlowShapes>("JqGlowShapes"),
    scene_class<KorrinBunker>("KorrinBunker"),
    scene_class<KorrinImage>("KorrinImage"),
    scene_class<KorrinSVG>("KorrinSVG"),
    scene_class<Modulators>("Modulators"),
    scene_class<MusicVectorNotes>("MusicVectorNotes"),
    scene_class<MusicVectors>("MusicVectors"),
    scene_class<NukeBalls>("NukeBalls"),
    scene_class<NukeBlast>("NukeBlast"),
    scene_class<NukeFallout>("NukeFallout"),
    scene_class<NukeFloor>("NukeFloor"),
    scene_class<NukeSL>("NukeSL"),
    scene_class<NukeText>("NukeText"),
    scene_class<ShaderToy>("ShaderToy"),
    scene_class<SiriusText>("SiriusText"),
    scene_class<SjakkVektor>("SjakkVektor"),
    scene_class<SquarePeeps>("SquarePeeps"),
    scene_class<TextDrop>("TextDrop"),
    scene_class<TextIntro>("TextIntro"),
    scene_class<TextPiano>("TextPiano"),
    scene_class<TextRibbons>("TextRibbons"),
    scene_class<TextRoto>("TextRoto"),
    scene_class<TobelRoto>("TobelRoto"),
    scene_class<TranceTunnel>("TranceTunnel"),
};

// The maker row of `class_name`; a row without maker or tracks when there is none.
SceneEntry scene_row(const char* class_name) {
    for (const SceneEntry& entry : kSceneMakers)
        if (std::string(class_name) == entry.class_name) return entry;
    return {class_name, nullptr, nullptr};
}

}  // namespace

SceneMaker scene_maker(const std::string& class_name) { return scene_row(class_name.c_str()).make; }

std::vector<std::string> scene_track_names(const SceneList& list) {
    std::vector<std::string> names;
    for (const SceneEntry& entry : list) {
        if (!entry.tracks) continue;
        for (const SceneTrack& track : *entry.tracks)
            if (std::find(names.begin(), names.end(), track.name) == names.end()) names.push_back(track.name);
    }
    return names;
}

const SceneList* production_scene_list(int id) {
    // Built once per production from its row; the lists live as long as the
    // process, like the table.
    static const std::vector<SceneList> lists = [] {
        std::vector<SceneList> made;
        for (const ProductionRow& row : production_table()) {
            SceneList list;
            for (const char* name : row.scenes) list.push_back(scene_row(name));
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
