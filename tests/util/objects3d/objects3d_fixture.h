// Shared by the scene-graph GL tests: the data folder of the source tree on
// the plain disk (the shader pieces and depth-of-field files are read from
// there), and pictures kept for looking at.
#pragma once

#include <png.h>

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
    const char* folder = std::getenv("ZEMBLA_SCREENSHOT_DIR");
    if (folder && *folder) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = static_cast<png_uint_32>(width);
        image.height = static_cast<png_uint_32>(height);
        image.format = PNG_FORMAT_RGBA;
        const std::string path = std::string(folder) + "/" + name + ".png";
        // Bottom row first: a negative stride writes it the right way up.
        png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), -width * 4, nullptr);
    }
    return rgba;
}

}  // namespace objects3d_test
