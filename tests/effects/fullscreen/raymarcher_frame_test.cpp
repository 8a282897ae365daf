// What the raymarcher sends from its track values, without GL.
#include <map>
#include <string>

#include "effects/raymarcher/raymarcher.h"
#include "support/test_support.h"

namespace {

using Effects::raymarcher_frame;

bool is_identity(const mat4& m) {
    const mat4 identity;
    for (int i = 0; i < 16; ++i)
        if (m.data()[i] != identity.data()[i]) return false;
    return true;
}

TEST(RaymarcherFrame, ViewIsATranslationAndTheRotationTheIdentityForNoAngleOrNoAxis) {
    std::map<std::string, float> tracks;
    for (const Effects::RayTrack& t : Effects::kRayTracks) tracks[t.name] = t.value;
    auto read = [&](const char* name) { return tracks.at(name); };
    tracks["RayPosX"] = 1;
    tracks["RayPosY"] = -2;
    tracks["RayPosZ"] = 3;
    tracks["RayColor"] = 0.25f;
    Effects::RayFrame f = raymarcher_frame(read);
    EXPECT_EQ(f.view.data()[12], 1.0f);
    EXPECT_EQ(f.view.data()[13], -2.0f);
    EXPECT_EQ(f.view.data()[14], 3.0f);
    EXPECT_EQ(f.colour, 0.25f);
    EXPECT_TRUE(is_identity(f.rotation)) << "RayViewRot 0";

    tracks["RayViewRot"] = 90;
    EXPECT_FALSE(is_identity(raymarcher_frame(read).rotation));
    tracks["RayViewRotX"] = tracks["RayViewRotY"] = tracks["RayViewRotZ"] = 0;
    EXPECT_TRUE(is_identity(raymarcher_frame(read).rotation)) << "axis (0, 0, 0)";
}

TEST(RaymarcherFrame, RegistersItsFourteenTracks) {
    const char* names[] = {"RayRotationTime", "RayColor", "RayAoFactor", "RayCutouts", "RaySlashes",
                           "RayPlaneDistance", "RayRotationMix", "RayPosX", "RayPosY", "RayPosZ",
                           "RayViewRot", "RayViewRotX", "RayViewRotY", "RayViewRotZ"};
    for (int i = 0; i < 14; ++i) EXPECT_STREQ(Effects::kRayTracks[i].name, names[i]);
}

}  // namespace
