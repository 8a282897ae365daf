#include "util/objects3d/light.h"

#include <cmath>

#include "support/test_support.h"
#include "util/objects3d/matrices.h"

namespace {

using objects3d_test::translation;

void expect_matrix(const mat4& actual, const mat4& expected, float tolerance) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual.get(i), expected.get(i), tolerance) << "element " << i;
}

TEST(Light, NewLightDefaults) {
    Light light;
    const vec3 p = light.get_position();
    EXPECT_EQ(p.x, 0.0f);
    EXPECT_EQ(p.y, 0.0f);
    EXPECT_EQ(p.z, 0.0f);
    const vec3 att = light.get_attenuation();
    EXPECT_EQ(att.x, 1.0f);
    EXPECT_NEAR(att.y, 1.0f / (10.0f * std::sqrt(300.0f)), 1e-7f);
    EXPECT_NEAR(att.y, 0.0057735f, 1e-7f);
    EXPECT_EQ(att.z, 0.0f);
    EXPECT_FLOAT_EQ(light.shadow_near, 0.01f);
    EXPECT_FLOAT_EQ(light.shadow_far, 20.0f);
    EXPECT_EQ(light.shadow_size, 2048);
    EXPECT_EQ(light.get_type(), 1);
    EXPECT_FALSE(light.shadows);
    EXPECT_EQ(light.shadow_map, 0u);
    EXPECT_EQ(light.shadow_fbo, 0u);
    EXPECT_EQ(light.get_diffuse().a, 1.0f);
    EXPECT_EQ(light.get_specular().r, 1.0f);
    expect_matrix(light.get_view_matrix(), mat4(), 0.0f);
    mat4 projection;
    projection.perspective(90.0f, 1.0f, 0.01f, 20.0f);
    expect_matrix(light.get_shadow_projection(), projection, 1e-6f);
}

TEST(Light, FaceViewsLookAlongTheCubeMapAxes) {
    Light light;
    // Face f looks along +-axis f/2 (positive for even f): that direction
    // comes out as the eye's forward, -z.
    for (int f = 0; f < Light::kFaces; ++f) {
        SCOPED_TRACE(f);
        vec3 dir(0, 0, 0);
        dir[f / 2] = f % 2 == 0 ? 1.0f : -1.0f;
        const vec3 eye = light.face_views[f].transform_direction(dir);
        EXPECT_NEAR(eye.x, 0.0f, 1e-6f);
        EXPECT_NEAR(eye.y, 0.0f, 1e-6f);
        EXPECT_NEAR(eye.z, -1.0f, 1e-6f);
    }
    // The up vectors of the table: +X looks with (0,-1,0) up, +Y with (0,0,1).
    const vec3 up_x = light.face_views[0].transform_direction(vec3(0, -1, 0));
    EXPECT_NEAR(up_x.y, 1.0f, 1e-6f);
    const vec3 up_y = light.face_views[2].transform_direction(vec3(0, 0, 1));
    EXPECT_NEAR(up_y.y, 1.0f, 1e-6f);
    const vec3 up_neg_y = light.face_views[3].transform_direction(vec3(0, 0, -1));
    EXPECT_NEAR(up_neg_y.y, 1.0f, 1e-6f);
}

TEST(Light, PositionRebuildsTheViewTranslation) {
    Light light;
    light.set_position(5, 0, 0);
    expect_matrix(light.get_view_matrix(), translation(-5, 0, 0), 0.0f);
    EXPECT_EQ(light.get_position().x, 5.0f);
    EXPECT_EQ(light.position.w, 1.0f);
}

TEST(Light, AttenuationAndShadowClipSetUps) {
    Light light;
    light.set_attenuation_from_range(100.0f);
    EXPECT_EQ(light.get_attenuation().x, 1.0f);
    EXPECT_FLOAT_EQ(light.get_attenuation().y, 0.002f);
    EXPECT_EQ(light.get_attenuation().z, 0.0f);

    light.set_position(1, 2, 3);
    light.set_attenuation_from_point(vec3(1, 2, 8));  // 5 away
    EXPECT_FLOAT_EQ(light.get_attenuation().y, 0.02f);

    light.set_shadow_clip_from_scale(50.0f);
    EXPECT_FLOAT_EQ(light.shadow_near, 0.05f);
    EXPECT_FLOAT_EQ(light.shadow_far, 100.0f);
    mat4 projection;
    projection.perspective(90.0f, 1.0f, 0.05f, 100.0f);
    expect_matrix(light.get_shadow_projection(), projection, 1e-6f);

    light.set_constant_attenuation(2);
    light.set_linear_attenuation(3);
    light.set_quadratic_attenuation(4);
    EXPECT_EQ(light.get_attenuation().x, 2.0f);
    EXPECT_EQ(light.get_attenuation().y, 3.0f);
    EXPECT_EQ(light.get_attenuation().z, 4.0f);
}

TEST(Light, ShadowFaceWithShadowsOffOrABadFaceChangesNothing) {
    Light light;  // no GL is touched on these paths
    light.set_position(5, 0, 0);
    expect_matrix(light.begin_shadow_face(1), mat4(), 0.0f);
    light.end_shadow_face();
    light.shadows = true;  // as if switched on, but face 6 does not exist
    expect_matrix(light.begin_shadow_face(6), mat4(), 0.0f);
    expect_matrix(light.begin_shadow_face(-1), mat4(), 0.0f);
    light.end_shadow_face();  // nothing was begun: nothing to restore
}

TEST(Light, ResizeBeforeAnyCubeMapOnlyRecordsTheSize) {
    Light light;
    light.resize(800, 600);
    EXPECT_EQ(light.shadow_size, 2048);
    EXPECT_EQ(light.last_width, 800);
    EXPECT_EQ(light.last_height, 600);
}

}  // namespace
