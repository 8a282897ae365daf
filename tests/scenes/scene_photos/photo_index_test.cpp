#include "support/test_support.h"

#include <cmath>
#include <limits>

#include "scenes/scene_photos/photo_scenes.h"

namespace {

TEST(KorrinBunker, ModeChoosesThePhotoTruncatedAndClamped) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float mode;
        size_t index;
    } cases[] = {
        {0.0f, 0}, {0.99f, 0}, {1.0f, 1},  {1.5f, 1},  {7.0f, 1},       {inf, 1},
        {-0.7f, 0}, {-5.0f, 0}, {-inf, 0}, {std::nanf(""), 0}, {1e30f, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(KorrinBunker::photo_index(c.mode, 2), c.index) << c.mode;
}

}  // namespace
