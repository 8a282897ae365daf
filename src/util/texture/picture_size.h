// How large a picture the readers take. Each refuses a picture by the size
// its header states, before it allocates anything for it: a file of a few
// hundred bytes can claim any size, and a decode costs about 20 bytes a
// pixel while it runs (a JPEG's scanlines, the Image's ints, the RGBA copy
// for the upload), so a 16000 x 16000 JPEG of 4 MB took gigabytes.
#pragma once

#include <cstdint>
#include <string>

namespace picture_size {

// 4096 x 4096 pixels: about eighteen times the largest picture the
// productions show (1280 x 720), and some 320 MB while it decodes.
constexpr int64_t kMaxPixels = int64_t{4096} * 4096;

// A picture with a side above `max_side` or more pixels than kMaxPixels.
inline bool too_large(int64_t width, int64_t height, int64_t max_side) {
    return width > max_side || height > max_side || width * height > kMaxPixels;
}

// The reason every reader gives for it.
inline std::string too_large_reason(int64_t width, int64_t height) {
    return "picture of " + std::to_string(width) + "x" + std::to_string(height) + " is too large";
}

}  // namespace picture_size
