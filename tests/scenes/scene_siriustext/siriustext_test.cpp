#include "support/test_support.h"

#include <cmath>
#include <limits>

#include "scenes/scene_siriustext/siriustext.h"

namespace {

TEST(SiriusText, FaceSizeIsTheTruncatedTrackWithinBounds) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float track;
        unsigned int size;
    } cases[] = {
        {64.0f, 64}, {110.7f, 110}, {1.0f, 1},     {0.5f, 1},       {0.0f, 1},
        {-5.0f, 1},  {-inf, 1},     {std::nanf(""), 1}, {2048.0f, 2048}, {5e9f, 2048}, {inf, 2048},
    };
    for (const auto& c : cases) EXPECT_EQ(SiriusText::face_size(c.track), c.size) << c.track;
}

}  // namespace
