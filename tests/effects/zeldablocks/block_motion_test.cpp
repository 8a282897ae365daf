// The travelling blocks without GL: z along the travel cycle, the angle
// with its limit at q = 0, where blocks reappear, and the streamed vertices.
#include <cmath>
#include <limits>

#include "effects/zeldablocks/block_motion.h"
#include "support/test_support.h"
#include "util/math/random.h"

namespace {

using namespace Effects;

TEST(ZeldaBlockMotion, TravelsOneLengthPerCycleFromTheStartPlane) {
    const struct {
        float time, speed, min_z, length, z;
    } cases[] = {
        {0.0f, 0.5f, -10.0f, 20.0f, -10.0f},  // time 0: on the start plane
        {1.0f, 0.5f, -10.0f, 20.0f, 0.0f},    // half a length further
        {2.0f, 0.5f, -10.0f, 20.0f, -10.0f},  // back on the start plane
        {2.5f, 0.5f, -10.0f, 20.0f, -5.0f},
        {3.0f, 0.0f, 4.0f, 8.0f, 4.0f},       // no speed: stays
        // Backwards in time the fraction is negative: behind the start plane.
        {-1.0f, 0.5f, 0.0f, 20.0f, -10.0f},
    };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(zelda_block_z(c.time, c.speed, c.min_z, c.length), c.z)
            << "time " << c.time << " speed " << c.speed;
}

TEST(ZeldaBlockMotion, AngleIsSinQOverQPlusQWithItsLimitAtZero) {
    const struct {
        float time, spin, angle;
    } cases[] = {
        {0.0f, 2.0f, 1.0f},  // no time: the limit, not 0 / 0
        {3.0f, 0.0f, 1.0f},  // no spin
        {1.0f, 1.0f, std::sin(1.0f) + 1.0f},
        {2.0f, -1.5f, std::sin(-3.0f) / -3.0f - 3.0f},
    };
    for (const auto& c : cases) {
        const float a = zelda_block_angle(c.time, c.spin);
        EXPECT_FALSE(std::isnan(a));
        EXPECT_FLOAT_EQ(a, c.angle) << c.time << " x " << c.spin;
    }
}

TEST(ZeldaBlockRespawn, StaysOnTheStartPlaneInsideTheDiscOrTheRectangle) {
    random_seed(7);
    ZeldaBox box;
    box.min = vec3(-4, -2, -30);
    box.max = vec3(8, 6, 5);
    for (float radius : {3.0f, -3.0f, 0.0f}) {
        box.disc = true;
        box.radius = radius;
        for (int i = 0; i < 200; ++i) {
            const vec3 p = zelda_respawn_position(box);
            EXPECT_LE(std::hypot(p.x - 2.0f, p.y - 2.0f), std::fabs(radius) + 1e-5f) << radius;
            EXPECT_EQ(p.z, -30.0f);
        }
    }
    box.disc = false;
    for (int i = 0; i < 200; ++i) {
        const vec3 p = zelda_respawn_position(box);
        EXPECT_TRUE(p.x >= -4 && p.x <= 8 && p.y >= -2 && p.y <= 6) << p.x << "," << p.y;
        EXPECT_EQ(p.z, -30.0f);
    }
}

TEST(ZeldaBlockRespawn, ADiscThatCannotBeMetGivesItsCentre) {
    ZeldaBox box;
    box.min = vec3(0, 0, 1);
    box.max = vec3(2, 4, 9);
    box.disc = true;
    for (float radius : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity()}) {
        box.radius = radius;
        const vec3 p = zelda_respawn_position(box);
        EXPECT_EQ(p.x, 1.0f) << radius;
        EXPECT_EQ(p.y, 2.0f) << radius;
        EXPECT_EQ(p.z, 1.0f);
    }
}

TEST(ZeldaBlockVertices, CentreFourTimesThenTheAngleInTheTextureCoordinates) {
    ZeldaBlock block;
    block.position = vec3(1, 2, 3);
    block.angle = 0.5f;
    std::vector<float> buffer(3 * (12 + 8), -1.0f);
    write_zelda_block(block, 1, 3, buffer.data());
    for (int v = 0; v < 4; ++v) {
        EXPECT_EQ(buffer[12 + v * 3], 1.0f);
        EXPECT_EQ(buffer[12 + v * 3 + 1], 2.0f);
        EXPECT_EQ(buffer[12 + v * 3 + 2], 3.0f);
    }
    const float s = std::sin(0.5f) * 0.5f + 0.5f, c = std::cos(0.5f) * 0.5f + 0.5f;
    const std::vector<float> coords(buffer.begin() + 36 + 8, buffer.begin() + 36 + 16);
    EXPECT_EQ(coords, std::vector<float>({s, 0, c, 0, c, 1, s, 1}));
    // Blocks 0 and 2 are untouched.
    EXPECT_EQ(buffer[0], -1.0f);
    EXPECT_EQ(buffer[24], -1.0f);
    EXPECT_EQ(buffer[36], -1.0f);
    EXPECT_EQ(buffer[36 + 16], -1.0f);
}

}  // namespace
