#include "effects/postproc/passes.h"

#include "effects/postproc/blur.h"
#include "effects/postproc/dither.h"
#include "effects/postproc/fade.h"
#include "effects/postproc/film.h"
#include "effects/postproc/kaleidoscope.h"
#include "effects/postproc/noise.h"
#include "effects/postproc/radblur.h"
#include "effects/postproc/subdiv.h"
#include "effects/postproc/vhs.h"

namespace {

template <typename T>
std::unique_ptr<Effects::PostProc> make_pass(const PassInfo& row) {
    return std::make_unique<T>(row);
}

}  // namespace

const std::vector<PassInfo>& postproc_registry() {
    static const std::vector<PassInfo> registry = {
        {"Dither", "dither", {{"Factor", 0.5f}}, make_pass<Effects::Dither>},
        {"Fade", "fade", {{"Value", 0.0f}}, make_pass<Effects::Fade>},
        {"Blur", "blur", {{"Scale", 2.5f}, {"Iterations", 3.0f}}, make_pass<Effects::Blur>},
        {"Radblur", "radblur",
         {{"CntrX", 0.5f}, {"CntrY", 0.5f}, {"Step", 0.9f}, {"Strength", 1.0f}},
         make_pass<Effects::Radblur>},
        {"Film", "film",
         {{"Color", 1.0f}, {"Monochrome", 0.0f}, {"BrownSepia", 0.0f}, {"GreenSepia", 0.0f},
          {"BlueSepia", 0.0f}, {"Contrast", 0.0f}, {"Brightness", 0.0f}, {"FilmgrainAmount", 0.0f},
          {"ScanlineAmount", 0.0f}},
         make_pass<Effects::Film>},
        // Kaleidoscope and K2 share their shaders, each in a program of its own.
        {"Kaleidoscope", "kaleidoscope", {{"Rotation", 0.0f}, {"Divisions", 7.0f}},
         make_pass<Effects::Kaleidoscope>},
        {"K2", "kaleidoscope", {{"Rotation", 0.0f}, {"Divisions", 7.0f}}, make_pass<Effects::K2>},
        {"Subdiv", "subdiv",
         {{"NX", 2.0f}, {"NY", 2.0f}, {"OffX", 0.0f}, {"OffY", 0.0f}, {"Rot", 0.0f}, {"RotX", 0.5f},
          {"RotY", 0.5f}},
         make_pass<Effects::Subdiv>},
        {"Noise", "noise", {{"Alpha", 0.5f}, {"Time", 0.0f}}, make_pass<Effects::Noise>},
        {"VHS", "vhs", {{"Alpha", 0.5f}, {"Time", 0.0f}, {"BandOn", 0.0f}}, make_pass<Effects::VHS>},
    };
    return registry;
}

const PassInfo* find_pass(const std::string& name) {
    for (const PassInfo& pass : postproc_registry())
        if (name == pass.name) return &pass;
    return nullptr;
}

std::vector<TrackDefault> postproc_track_defaults() {
    std::vector<TrackDefault> tracks;
    for (const PassInfo& pass : postproc_registry()) {
        tracks.push_back({std::string("pp") + pass.name, -1.0f});
        for (const PassParam& param : pass.params)
            tracks.push_back({std::string("pp") + pass.name + param.word, param.value});
    }
    return tracks;
}
