#include "support/test_support.h"

#include <cmath>

#include "util/math/random.h"
#include "util/math/scalar.h"
#include "util/math/vector.h"

namespace {

void expect_vec3(const vec3& v, float x, float y, float z, float w, float tolerance = 0.0f) {
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
    EXPECT_EQ(v.w, w);
}

TEST(Vec3, EveryNewVectorHasWOne) {
    vec3 a(1, 2, 3);
    a.w = 5.0f;
    expect_vec3(vec3(), 0, 0, 0, 1);
    expect_vec3(vec3(a), 1, 2, 3, 1);
    expect_vec3(vec3(1, 2, 3) + vec3(1, 1, 1), 2, 3, 4, 1);
    expect_vec3(a - vec3(1, 1, 1), 0, 1, 2, 1);
    expect_vec3(a * 2.0f, 2, 4, 6, 1);
    expect_vec3(a / 2.0f, 0.5f, 1, 1.5f, 1);
    expect_vec3(cross(vec3(1, 0, 0), vec3(0, 1, 0)), 0, 0, 1, 1);
    expect_vec3(lerp(vec3(0, 0, 0), a, 0.5f), 0.5f, 1, 1.5f, 1);

    vec3 b(0, 0, 0);
    b.w = 3.0f;
    b.set(4, 5, 6);
    expect_vec3(b, 4, 5, 6, 1);
    b.w = 3.0f;
    b.fill(2.0f);
    expect_vec3(b, 2, 2, 2, 1);
}

TEST(Vec3, AssignmentAndInPlaceOperationsKeepTheTargetsW) {
    vec3 source(1, 2, 3);
    source.w = 5.0f;
    vec3 target(9, 9, 9);
    target.w = 2.0f;
    target = source;
    expect_vec3(target, 1, 2, 3, 2);
    target += vec3(1, 1, 1);
    expect_vec3(target, 2, 3, 4, 2);
    target *= 0.5f;
    expect_vec3(target, 1, 1.5f, 2, 2);
    target[0] = 7.0f;
    target[3] = 8.0f;
    expect_vec3(target, 7, 1.5f, 2, 8);
    EXPECT_EQ(target.data()[2], 2.0f);
    EXPECT_EQ(target.data()[3], 8.0f);
}

TEST(Vec3, LengthAndNormalize) {
    vec3 v(3, 0, 4);
    EXPECT_FLOAT_EQ(v.length(), 5.0f);
    v.normalize();
    expect_vec3(v, 0.6f, 0, 0.8f, 1, 1e-7f);
    vec3 zero;
    zero.normalize();
    EXPECT_FALSE(std::isfinite(zero.x));
}

TEST(Vec3, RotatedZ) {
    expect_vec3(vec3(1, 0, 0).rotated_z(90.0f), 0, 1, 0, 1, 1e-7f);
    expect_vec3(vec3(1, 2, 3).rotated_z(180.0f), -1, -2, 3, 1, 1e-6f);
    expect_vec3(vec3(0, 1, 5).rotated_z(-90.0f), 1, 0, 5, 1, 1e-7f);

    vec3 v(0.1f, 0.2f, 0.3f);
    v.w = 4.0f;
    vec3 copy = v.rotated_z(0.0f);  // exact copy, w included
    expect_vec3(copy, 0.1f, 0.2f, 0.3f, 4.0f);

    vec3 in_place(1, 0, 0);
    in_place.w = 6.0f;
    in_place.rotate_z(90.0f);
    expect_vec3(in_place, 0, 1, 0, 6.0f, 1e-7f);
}

TEST(Vec3, RandomizeUnitLandsOnTheSphereAndFollowsTheGenerator) {
    random_seed(3);
    for (int i = 0; i < 1000; ++i) {
        vec3 v;
        v.randomize_unit();
        ASSERT_NEAR(v.length(), 1.0f, 1e-5f);
    }
    // z is drawn first, then the angle.
    random_seed(1);
    vec3 v;
    v.randomize_unit();
    random_seed(1);
    float z = random_range(-1, 1);
    float a = random_range(-3.1415927f, 3.1415927f);
    float r = std::sqrt(1 - z * z);
    expect_vec3(v, std::cos(a) * r, std::sin(a) * r, z, 1);
}

TEST(Vec4, ComponentsColoursAndArithmetic) {
    vec4 zero;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(zero[i], 0.0f);
    vec4 colour(vec3(0.25f, 0.5f, 0.75f), 0.5f);
    EXPECT_EQ(colour.r, 0.25f);
    EXPECT_EQ(colour.g, 0.5f);
    EXPECT_EQ(colour.b, 0.75f);
    EXPECT_EQ(colour.a, 0.5f);
    vec4 sum = colour + vec4(1, 2, 3, 4);
    EXPECT_EQ(sum.x, 1.25f);
    EXPECT_EQ(sum.w, 4.5f);
    vec4 mixed = lerp(vec4(0, 0, 0, 0), vec4(2, 4, 6, 8), 0.25f);
    EXPECT_EQ(mixed[0], 0.5f);
    EXPECT_EQ(mixed[3], 2.0f);
    mixed.fill(3.0f);
    EXPECT_EQ(mixed.data()[3], 3.0f);
    vec4 copy;
    copy = colour;
    EXPECT_EQ(copy.w, 0.5f);
    float3 packed[2];
    packed[1].set(1, 2, 3);
    EXPECT_EQ(reinterpret_cast<const float*>(packed)[5], 3.0f);
}

TEST(Scalar, Helpers) {
    EXPECT_NEAR(round_decimals(2.345f, 2), 2.35f, 1e-6f);
    EXPECT_EQ(round_decimals(-1.5f, 0), -1.0f);
    EXPECT_EQ(round_decimals(1.25f, 1), 1.3f);
    EXPECT_NEAR(rad_to_deg(3.1415927f), 180.0f, 1e-4f);
    EXPECT_EQ(lerp(2.0f, 4.0f, 0.0f), 2.0f);
    EXPECT_EQ(lerp(2.0f, 4.0f, 1.0f), 4.0f);
    EXPECT_EQ(lerp(2.0f, 4.0f, 0.25f), 2.5f);
    EXPECT_NEAR(ease(0.0f), 0.0f, 1e-7f);
    EXPECT_NEAR(ease(0.5f), 0.5f, 1e-7f);
    EXPECT_NEAR(ease(1.0f), 1.0f, 1e-7f);
    EXPECT_NEAR(ease(0.25f), 0.5f - 0.5f * std::sqrt(0.5f), 1e-6f);
}

}  // namespace
