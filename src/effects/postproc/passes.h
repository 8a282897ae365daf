// The registry of the frame loop's post-processing passes: one row per pass
// (its name, its shader folder, its parameter words with their defaults, its
// maker), in the order the scene manager creates them, which is also the
// order of passes whose switch tracks hold equal values.
//
// A pass's tracks follow from its row: "pp" + name (default -1, the pass
// off) and "pp" + name + word for each parameter (its default). The scene
// manager registers them from the pass objects, the build gives every
// production a track file for each (synctimeline tracks), and the
// tests read them from here.
//
// How to add a pass: its two source files here (a PostProc subclass whose
// constructor takes its row and hands it to PostProc, and whose render sets
// its uniforms, see fade.cpp), its shaders
// data/effects/postproc/<folder>/<folder>.vert and .frag, and its row in
// passes.cpp.
#pragma once

#include <string>
#include <vector>

#include "effects/postproc/pass_info.h"

// Every pass, in creation order.
const std::vector<PassInfo>& postproc_registry();

// The row of the pass `name`; null when there is none.
const PassInfo* find_pass(const std::string& name);

struct TrackDefault {
    std::string name;
    float value;
};

// The tracks of every pass, in the order the scene manager registers them.
std::vector<TrackDefault> postproc_track_defaults();
