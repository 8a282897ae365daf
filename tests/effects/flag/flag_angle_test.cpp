// The flag's angle: 2 x time wrapped into 0..360.
#include <cmath>
#include <limits>

#include "effects/flag/flag.h"
#include "support/test_support.h"

namespace {

// What the steps of 360 give, for times where stepping ends quickly.
float stepped(float time) {
    float angle = 2.0f * time;
    while (angle > 360.0f) angle -= 360.0f;
    while (angle < 0.0f) angle += 360.0f;
    return angle;
}

TEST(FlagAngle, TwiceTheTimeWrappedIntoZeroToThreeSixty) {
    const struct {
        float time, angle;
    } cases[] = {
        {0.0f, 0.0f},    {200.0f, 40.0f},  {90.0f, 180.0f}, {180.0f, 360.0f},  // 360 stays
        {360.0f, 360.0f}, {180.5f, 1.0f},  {-10.0f, 340.0f}, {-180.0f, 0.0f}, {-200.0f, 320.0f},
    };
    for (const auto& c : cases) EXPECT_FLOAT_EQ(Effects::flag_angle(c.time), c.angle) << c.time;
}

TEST(FlagAngle, AgreesWithStepsOf360AndEndsForAnyTime) {
    for (float t = -2000.0f; t <= 2000.0f; t += 0.37f) ASSERT_EQ(Effects::flag_angle(t), stepped(t)) << t;
    const float inf = std::numeric_limits<float>::infinity();
    for (float t : {1e30f, -1e30f, 3.4e38f, -3.4e38f}) {
        const float a = Effects::flag_angle(t);
        EXPECT_TRUE(a >= 0.0f && a <= 360.0f) << t;
    }
    for (float t : {inf, -inf, std::numeric_limits<float>::quiet_NaN()}) EXPECT_EQ(Effects::flag_angle(t), 0.0f) << t;
}

}  // namespace
