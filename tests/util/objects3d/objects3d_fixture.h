// Shared by the scene-graph GL tests: the data folder of the source tree on
// the plain disk (the shader pieces and depth-of-field files are read from
// there), and pictures kept for looking at.
#pragma once


#include <cstdlib>
#include <string>
#include <vector>

#include "support/gl_context.h"
#include "support/test_support.h"
#include "util/data/data.h"

namespace objects3d_test {

class Objects3DGlTest : public test_support::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        saved_mode_ = DataFile::get_mode();
        DataFile::set_mode(DataFileMode::Plain);
    }
    void TearDown() override { DataFile::set_mode(saved_mode_); }

    test_support::ScopedChdir in_source_{test_support::source_path("")};

private:
    int saved_mode_ = 0;
};

// The RGBA pixels of the bound read frame buffer (bottom row first), kept as
// a PNG in $ZEMBLA_SCREENSHOT_DIR when that is set.
inline std::vector<unsigned char> read_and_keep(const std::string& name, int width, int height) {
    std::vector<unsigned char> rgba = test_support::read_pixels(0, 0, width, height);
    const std::string folder = test_support::screenshot_folder();
    if (!folder.empty()) test_support::write_png(folder + "/" + name + ".png", width, height, 4, rgba.data(), true);
    return rgba;
}

}  // namespace objects3d_test
