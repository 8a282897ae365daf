// The post-processing passes as the frame loop makes them, one from each
// row of the registry (effects/postproc/passes.h) and in its order, built
// once per test process from the shader files of the source tree; and a way
// to put their parameters back to the values they were built with.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "effects/effect.h"
#include "effects/postproc/passes.h"
#include "support/gl_context.h"
#include "support/test_support.h"
#include "util/data/data.h"

namespace postproc_test {

inline std::vector<float> params_of(Effects::PostProc& pass) {
    std::vector<float> values;
    for (size_t i = 0; i < pass.get_param_names().size(); ++i)
        values.push_back(pass.get_param(static_cast<int>(i)));
    return values;
}

class Passes {
public:
    Passes() {
        for (const PassInfo& row : postproc_registry()) {
            all_.emplace_back(row.make(row));
            built_with_.push_back(params_of(*all_.back()));
        }
    }

    // The pass of the row `name`.
    Effects::PostProc& operator[](const std::string& name) {
        for (const std::unique_ptr<Effects::PostProc>& pass : all_)
            if (pass->get_name() == name) return *pass;
        ADD_FAILURE() << "no pass " << name;
        return *all_.front();
    }

    // In the registry's order.
    std::vector<Effects::PostProc*> all() const {
        std::vector<Effects::PostProc*> passes;
        for (const std::unique_ptr<Effects::PostProc>& pass : all_) passes.push_back(pass.get());
        return passes;
    }

    // Every parameter back to the value the pass was built with.
    void reset() {
        for (size_t p = 0; p < all_.size(); ++p)
            for (size_t i = 0; i < built_with_[p].size(); ++i)
                all_[p]->set_param(static_cast<int>(i), built_with_[p][i]);
    }

private:
    std::vector<std::unique_ptr<Effects::PostProc>> all_;
    std::vector<std::vector<float>> built_with_;
};

// The passes with every parameter at its default (needs the GL context).
// They live as long as the process, like the context they were made in.
inline Passes& passes() {
    static Passes* built = nullptr;
    if (!built) {
        DataFile::set_mode(DataFileMode::Plain);
        test_support::ScopedChdir in(test_support::source_path(""));
        built = new Passes();
    }
    built->reset();
    return *built;
}

}  // namespace postproc_test
