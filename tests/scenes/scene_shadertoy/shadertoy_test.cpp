// Which gallery program a "ShaderToyNr" value names: truncated toward zero
// and kept within the gallery, whatever the track holds.
#include "scenes/scene_shadertoy/shadertoy.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(ShaderToyProgramIndex, TruncatesTowardZeroAndStaysWithinTheGallery) {
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const struct {
        float value;
        int index;
    } cases[] = {
        {0.0f, 0},   {0.99f, 0}, {1.0f, 1},   {2.9f, 2},     {6.0f, 6},    {6.99f, 6},
        {100.0f, 6}, {3e9f, 6},  {kInf, 6},   {-0.5f, 0},    {-3.0f, 0},   {-3e9f, 0},
        {-kInf, 0},  {std::nanf(""), 0},
    };
    ASSERT_EQ(ShaderToy::fragment_files.size(), 7u);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(ShaderToy::program_index(c.value, ShaderToy::fragment_files.size()), c.index);
    }
}

TEST(ShaderToyProgramIndex, AGalleryOfOneOrNoneHasOneOrNoChoice) {
    for (float value : {-2.0f, 0.0f, 5.5f, std::nanf("")}) {
        EXPECT_EQ(ShaderToy::program_index(value, 1), 0);
        EXPECT_EQ(ShaderToy::program_index(value, 0), -1);
    }
}

}  // namespace
