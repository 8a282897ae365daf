// The registry of the frame loop's post-processing passes: one row per pass
// (its name, its shader folder, its parameter words with their defaults, its
// maker), in the order the scene manager creates them, which is also the
// order of passes whose switch tracks hold equal values.
//
// A pass's tracks follow from its row: "pp" + name (default -1, the pass
// off) and "pp" + name + word for each parameter (its default). The scene
// manager registers them from the pass objects, the build gives every
// production a track file for each (synctimeline frame-tracks), and the
// tests read them from here.
//
// How to add a pass: its two source files here (a PostProc subclass whose
// constructor is `PostProc("<Name>")` and whose render sets its uniforms,
// see fade.cpp), its shaders data/effects/postproc/<folder>/<folder>.vert and
// .frag, and its row in passes.cpp.
#pragma once

#include <string>
#include <vector>

namespace Effects {
class PostProc;
}

struct PassParam {
    const char* word;  // the parameter is named pass name + word
    float value;       // its default
};

struct PassInfo {
    const char* name;
    const char* shader_folder;  // under data/effects/postproc/
    std::vector<PassParam> params;
    Effects::PostProc* (*make)();
};

// Every pass, in creation order.
const std::vector<PassInfo>& postproc_registry();

// The row of the pass `name`; null when there is none.
const PassInfo* find_pass(const std::string& name);

// "data/effects/postproc/<folder>/<folder>" + extension.
std::string pass_shader_path(const PassInfo& pass, const char* extension);

struct TrackDefault {
    std::string name;
    float value;
};

// The tracks of every pass, in the order the scene manager registers them.
std::vector<TrackDefault> postproc_track_defaults();
