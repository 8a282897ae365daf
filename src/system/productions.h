// The table of productions: one row holds everything that makes a
// production (id, name, title, soundtrack, tempo, loading screen, fade and
// scene list). The program (configure_production, the scene manager), the
// build (CMakeLists.txt reads the ids and names of the rows in
// productions.cpp, and the default production below), tools/play.sh and the
// tests all read it. Code that needs a production's id asks the table for it
// by name (production_id).
//
// How to add a scene class:
//   1. its files under src/scenes/scene_<name>/ (a Scene subclass with a
//      default constructor and, when it has sync tracks, their table
//      `static const SceneTracks tracks` registered in init; see
//      scene_jqboxes/);
//   2. one row in the scene makers of src/scenes/production_scenes.cpp,
//      scene_class<ClassName>("ClassName"), beside the include of its header;
//   3. the class name in the scene list of its production's row here.
//   A production becomes playable (packed, run by tools/play.sh and checked
//   by the tests) once every scene of its list has a maker.
//
// How to add a production:
//   1. one row in productions.cpp, in id order, the row's id and name on the
//      line of its opening brace (the build reads them from there);
//   2. its sync tracks' keys in data/productions/<name>/timeline.txt.
//   The build then makes build/zembla-<name> and the run directory
//   build/run/<name>/, with a track file for every track the production
//   registers (`synctimeline tracks <name>` lists them), keyed from its
//   timeline (packed once the production is playable); `tools/play.sh
//   <name>` plays it.
#pragma once

#include <string>
#include <vector>

struct ProductionRow {
    int id;            // ZemblaSystem::production; a row's position in the table
    const char* name;  // zembla-<name>, build/run/<name>, data/productions/<name>
    // What configure_production sets; a null text or a tempo of 0 leaves the
    // setting as it is (a row without a title keeps every compiled-in default).
    const char* title;
    const char* music_file;
    const char* logo_file;
    int loading_screen;  // a LoadingScreenStyle
    int fade_time_ms;
    float bpm;
    // Scene class names; the position is the index the "ActiveScene" tracks name.
    std::vector<const char*> scenes;
};

// The production that `zembla` and tools/play.sh without a name play, and
// that programs built without a production of their own start on: tidewell.
// CMakeLists.txt reads the number from this line.
constexpr int kDefaultProduction = 4;

// Every production, in id order.
const std::vector<ProductionRow>& production_table();

// The id of the row named `name`; a name that no row has ends the run.
int production_id(const std::string& name);

// The row of production `id` or `name`; null when there is none.
const ProductionRow* find_production(int id);
const ProductionRow* find_production(const std::string& name);
