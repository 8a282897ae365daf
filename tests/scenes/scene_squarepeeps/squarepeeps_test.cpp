#include "support/test_support.h"

#include <cmath>

#include "scenes/scene_squarepeeps/squarepeeps.h"
#include "scenes/scene_sjakkvektor/sjakkvektor.h"

namespace {

void expect_vec3(const vec3& actual, const vec3& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

TEST(SquarePeeps, CameraAndLightCircleTheGroupOnTheMusicClock) {
    const float pi = 3.14159265f;
    const struct {
        float beats;
        vec3 eye, light;
    } cases[] = {
        {0.0f, {0, 2, 5}, {0, 2, 3}},  // both on the +z side
        {5.0f * pi, {5, 2, 0}, {3 * std::sin(3.5f * pi), 2, 3 * std::cos(3.5f * pi)}},
        {20.0f * pi, {0, 2, 5}, {3 * std::sin(14.0f * pi), 2, 3 * std::cos(14.0f * pi)}},  // one camera turn
        {2.0f * pi / 0.7f, {5 * std::sin(0.2f * pi / 0.7f), 2, 5 * std::cos(0.2f * pi / 0.7f)}, {0, 2, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.beats);
        expect_vec3(SquarePeeps::camera_eye(c.beats), c.eye);
        expect_vec3(SquarePeeps::light_position(c.beats), c.light);
    }
    EXPECT_FLOAT_EQ(SquarePeeps::kCornerOffset, 5.0f);
}

TEST(SjakkVektor, TheLightCirclesOnHalfTheTreesHalfSize) {
    const struct {
        float progress, half_size;
        vec3 light;
    } cases[] = {
        {0.0f, 4.0f, {2 * std::sin(9.424778f), 0, -2}},
        {20.0f, 4.0f, {2 * std::sin(2.3f + 9.424778f), 2 * std::sin(1.7f), -2 * std::cos(1.7f)}},
        {20.0f, 0.0f, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.progress);
        expect_vec3(SjakkVektor::light_position(c.progress, c.half_size), c.light);
    }
}

}  // namespace
