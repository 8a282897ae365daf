// The picture in the bound render target, read back once, to probe pixel by
// pixel (bottom row first, as GL reads it) and to keep as a PNG to look at.
#pragma once


#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/gl_context.h"
#include "support/test_support.h"

namespace test_support {

struct Rgba {
    int r, g, b, a;
    int brightest() const { return std::max(r, std::max(g, b)); }
};

class Frame {
public:
    Frame(int width, int height) : width_(width), height_(height), pixels_(read_pixels(0, 0, width, height)) {}
    int width() const { return width_; }
    int height() const { return height_; }
    Rgba at(int x, int y) const {
        const unsigned char* p = &pixels_[(static_cast<size_t>(y) * width_ + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
    bool is_white(int x, int y) const { return at(x, y).r == 255 && at(x, y).g == 255 && at(x, y).b == 255; }
    bool is_black(int x, int y) const { return at(x, y).brightest() == 0; }
    // The brightest colour channel of the rows y0..y1-1.
    int brightest_in_rows(int y0, int y1) const {
        int most = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < width_; ++x) most = std::max(most, at(x, y).brightest());
        return most;
    }
    int brightest() const { return brightest_in_rows(0, height_); }
    // How many pixels have exactly this red, green and blue.
    int count(int r, int g, int b) const {
        int n = 0;
        for (size_t i = 0; i < pixels_.size(); i += 4) n += pixels_[i] == r && pixels_[i + 1] == g && pixels_[i + 2] == b;
        return n;
    }
    bool operator==(const Frame& other) const { return pixels_ == other.pixels_; }

    // Kept as a PNG in $ZEMBLA_SCREENSHOT_DIR when that is set, to look at.
    void keep(const std::string& name) const {
        const std::string folder = screenshot_folder();
        if (folder.empty()) return;
        std::vector<unsigned char> rgb;  // as the screen shows it
        for (size_t i = 0; i < pixels_.size(); i += 4) rgb.insert(rgb.end(), &pixels_[i], &pixels_[i] + 3);
        write_png(folder + "/" + name + ".png", width_, height_, 3, rgb.data(), true);
    }

private:
    int width_, height_;
    std::vector<unsigned char> pixels_;
};

}  // namespace test_support
