// The sky box's cube, placement, face names and face table, without GL.
#include <algorithm>

#include "effects/skybox_geometry.h"
#include "support/test_support.h"

namespace {

using namespace Effects;

TEST(SkyBoxGeometry, EachWorldDirectionShowsItsFaceOfTheTurnedCube) {
    const struct {
        const char* name;
        vec3 direction;
        SkyBoxFace face;
    } cases[] = {
        {"up shows -Z", vec3(0, 1, 0), NegZ},
        {"down shows +Z", vec3(0, -1, 0), PosZ},
        {"toward -Z shows -Y", vec3(0, 0, -1), NegY},
        {"toward +Z shows +Y", vec3(0, 0, 1), PosY},
        {"toward +X shows +X", vec3(1, 0, 0), PosX},
        {"toward -X shows -X", vec3(-1, 0, 0), NegX},
        {"mostly up, a little forward", vec3(0.2f, 0.9f, -0.3f), NegZ},
        {"mostly toward +Z, a little down", vec3(-0.3f, -0.4f, 0.8f), PosY},
        {"not normalised", vec3(-7, 2, 3), NegX},
    };
    for (const auto& c : cases) EXPECT_EQ(skybox_face(c.direction), c.face) << c.name;
}

TEST(SkyBoxGeometry, SizeFiftySpansAHundredEachWayAroundThePosition) {
    const vec3 position(3, -4, 5);
    const mat4 model = skybox_model(position, 2.0f * 50.0f);
    vec3 lo(1e9f, 1e9f, 1e9f), hi(-1e9f, -1e9f, -1e9f);
    for (uint8_t index : kSkyBoxIndices) {
        vec3 v(kSkyBoxCorners[index][0], kSkyBoxCorners[index][1], kSkyBoxCorners[index][2]);
        model.transform_point(v);
        for (int i = 0; i < 3; ++i) {
            lo[i] = std::min(lo[i], v[i]);
            hi[i] = std::max(hi[i], v[i]);
        }
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(lo[i], position[i] - 100.0f, 1e-3f) << i;
        EXPECT_NEAR(hi[i], position[i] + 100.0f, 1e-3f) << i;
    }
}

TEST(SkyBoxGeometry, TrianglesPairUpOnTheSixFacesInOrder) {
    // Faces z = +1, x = +1, z = -1, x = -1, y = +1, y = -1.
    const int axis[6] = {2, 0, 2, 0, 1, 1};
    const float side[6] = {1, 1, -1, -1, 1, -1};
    for (int t = 0; t < 12; ++t) {
        const int face = t / 2;
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(kSkyBoxCorners[kSkyBoxIndices[t * 3 + k]][axis[face]], side[face]) << "triangle " << t;
    }
}

TEST(SkyBoxGeometry, FaceFilesOfBothNamingSchemesInFaceOrder) {
    EXPECT_EQ(skybox_face_files("data/sky_", "png", SkyBoxNaming::Axes),
              (std::array<std::string, 6>{"data/sky_negx.png", "data/sky_posx.png", "data/sky_negy.png",
                                          "data/sky_posy.png", "data/sky_negz.png", "data/sky_posz.png"}));
    EXPECT_EQ(skybox_face_files("s/", "jpg", SkyBoxNaming::Sides),
              (std::array<std::string, 6>{"s/left.jpg", "s/right.jpg", "s/down.jpg", "s/up.jpg", "s/back.jpg",
                                          "s/front.jpg"}));
}

}  // namespace
