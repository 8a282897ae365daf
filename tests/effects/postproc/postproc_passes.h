// The ten post-processing passes built once per test process from the
// shader files of the source tree, in the frame loop's creation order, and a
// way to put their parameters back to the constructor defaults.
#pragma once

#include <memory>
#include <vector>

#include "effects/effect.h"
#include "effects/postproc/blur.h"
#include "effects/postproc/dither.h"
#include "effects/postproc/fade.h"
#include "effects/postproc/film.h"
#include "effects/postproc/kaleidoscope.h"
#include "effects/postproc/noise.h"
#include "effects/postproc/radblur.h"
#include "effects/postproc/subdiv.h"
#include "effects/postproc/vhs.h"
#include "support/gl_context.h"
#include "support/test_support.h"
#include "util/data/data.h"

namespace postproc_test {

struct Passes {
    Effects::Dither dither;
    Effects::Fade fade;
    Effects::Blur blur;
    Effects::Radblur radblur;
    Effects::Film film;
    Effects::Kaleidoscope kaleidoscope;
    Effects::K2 k2;
    Effects::Subdiv subdiv;
    Effects::Noise noise;
    Effects::VHS vhs;

    std::vector<Effects::PostProc*> all() {
        return {&dither, &fade, &blur, &radblur, &film, &kaleidoscope, &k2, &subdiv, &noise, &vhs};
    }
};

inline std::vector<float> params_of(Effects::PostProc& pass) {
    std::vector<float> values;
    for (size_t i = 0; i < pass.get_param_names().size(); ++i)
        values.push_back(pass.get_param(static_cast<int>(i)));
    return values;
}

// The passes with every parameter at its default (needs the GL context).
inline Passes& passes() {
    static Passes* built = nullptr;
    static std::vector<std::vector<float>> defaults;
    if (!built) {
        DataFile::set_mode(DataFileMode::Plain);
        test_support::ScopedChdir in(test_support::source_path(""));
        built = new Passes();
        for (Effects::PostProc* pass : built->all()) defaults.push_back(params_of(*pass));
    }
    std::vector<Effects::PostProc*> all = built->all();
    for (size_t p = 0; p < all.size(); ++p)
        for (size_t i = 0; i < defaults[p].size(); ++i)
            all[p]->set_param(static_cast<int>(i), defaults[p][i]);
    return *built;
}

}  // namespace postproc_test
