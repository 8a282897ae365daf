// One row of the pass registry (passes.h): what a post-processing pass is
// made of. The pass base class builds itself from its row, so it needs this
// and not the registry, which includes every pass.
#pragma once

#include <memory>
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
    // Builds the pass of this row (the row is handed to its constructor).
    std::unique_ptr<Effects::PostProc> (*make)(const PassInfo& row);
};

// "data/effects/postproc/<folder>/<folder>" + extension.
inline std::string pass_shader_path(const PassInfo& pass, const char* extension) {
    return std::string("data/effects/postproc/") + pass.shader_folder + "/" + pass.shader_folder + extension;
}
