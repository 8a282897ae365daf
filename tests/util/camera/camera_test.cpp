// The camera's matrices and parameters without a GL context; setup, which
// loads the fixed-function stacks, is tested against GLU in camera_gltest.
#include "util/camera/camera.h"

#include <gtest/gtest.h>

namespace {

void expect_matrix_near(const mat4& actual, const mat4& expected) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual.get(i), expected.get(i), 1e-5f) << "element " << i;
}

mat4 look_at_matrix(float ex, float ey, float ez, float dx, float dy, float dz, float ux, float uy,
                    float uz) {
    mat4 m;
    m.look_at(ex, ey, ez, dx, dy, dz, ux, uy, uz);
    return m;
}

TEST(Camera, StartsWithAnIdentityViewWhateverItsEye) {
    Camera camera;
    expect_matrix_near(camera.get_view_matrix(), mat4());
    expect_matrix_near(camera.get_projection_matrix(), mat4());
    EXPECT_EQ(camera.name, "");
    EXPECT_EQ(camera.eye.x, 0.0f);
    EXPECT_EQ(camera.eye.y, 10.0f);
    EXPECT_EQ(camera.eye.z, -150.0f);
    EXPECT_EQ(camera.up.z, -1.0f);
    EXPECT_EQ(camera.up.w, 1.0f);
    EXPECT_EQ(camera.fov, -1.0f);
    EXPECT_EQ(camera.fov_x, -1.0f);
    EXPECT_EQ(camera.get_znear(), 1.0f);
    EXPECT_EQ(camera.get_zfar(), 1000.0f);
    EXPECT_FLOAT_EQ(camera.get_focus_point(), 0.2f);
    EXPECT_FLOAT_EQ(camera.get_focus_range(), 0.1f);
    EXPECT_FLOAT_EQ(camera.get_focus_falloff(), 0.3f);
    EXPECT_EQ(camera.own_width, -1);
    EXPECT_EQ(camera.own_height, -1);
    EXPECT_EQ(camera.own_aspect, -1.0f);
}

TEST(Camera, LookAtReplacesTheViewAndSetViewMatrixKeepsThePose) {
    Camera camera;
    camera.rotate(30.0f, vec3(0, 1, 0));  // forgotten by look_at
    camera.look_at(1, 2, 3, 4, 5, 6, 0, 0, 1);
    expect_matrix_near(camera.get_view_matrix(), look_at_matrix(1, 2, 3, 4, 5, 6, 0, 0, 1));
    EXPECT_EQ(camera.dst.y, 5.0f);
    EXPECT_EQ(camera.up.z, 1.0f);

    mat4 other;
    other.translate(7, 8, 9);
    camera.set_view_matrix(other);
    expect_matrix_near(camera.get_view_matrix(), other);
    EXPECT_EQ(camera.eye.x, 1.0f);
    EXPECT_EQ(camera.dst.z, 6.0f);
}

TEST(Camera, InverseViewIsTheTransposedInverse) {
    Camera camera;
    mat4 translation;
    translation.translate(2, -3, 4);
    camera.set_view_matrix(translation);
    const mat4 inv = camera.get_inverse_view();
    // The bottom row holds -t; the last column is (0, 0, 0, 1).
    EXPECT_FLOAT_EQ(inv.at(0, 3), -2.0f);
    EXPECT_FLOAT_EQ(inv.at(1, 3), 3.0f);
    EXPECT_FLOAT_EQ(inv.at(2, 3), -4.0f);
    for (int row = 0; row < 3; ++row) EXPECT_EQ(inv.at(3, row), 0.0f);
}

TEST(Camera, FieldOfViewAndClipSetters) {
    Camera camera;
    camera.set_fov(45.0f);
    camera.zoom(5.0f);
    EXPECT_EQ(camera.fov, 50.0f);
    EXPECT_EQ(camera.fov_x, 4.0f);
    camera.set_fov_x(90.0f);
    EXPECT_EQ(camera.fov_x, 90.0f);

    camera.set_clip(0.5f, 20.0f);
    EXPECT_EQ(camera.get_znear(), 0.5f);
    EXPECT_EQ(camera.get_zfar(), 20.0f);
    camera.set_clip_from_scale(200.0f);
    EXPECT_FLOAT_EQ(camera.get_znear(), 0.2f);
    EXPECT_FLOAT_EQ(camera.get_zfar(), 2000.0f);
}

TEST(Camera, RotationsTurnAboutTheEyeAndMovesFollowTheEyesAxes) {
    // Eye at (0, 0, 10) looking at the origin: forward moves go towards it.
    Camera camera;
    camera.look_at(0, 0, 10, 0, 0, 0, 0, 1, 0);
    camera.move_forward(2.0f);
    expect_matrix_near(camera.get_view_matrix(), look_at_matrix(0, 0, 8, 0, 0, -10, 0, 1, 0));
    camera.move_sideways(1.0f);
    camera.move_vertical(3.0f);
    expect_matrix_near(camera.get_view_matrix(), look_at_matrix(-1, 3, 8, -1, 3, -10, 0, 1, 0));

    // A turn multiplies on the left: the eye stays where it is.
    camera.look_at(0, 0, 10, 0, 0, 0, 0, 1, 0);
    camera.rotate(90.0f, vec3(0, 1, 0));
    mat4 turn;
    turn.rotate(90.0f, 0, 1, 0);
    expect_matrix_near(camera.get_view_matrix(), turn * look_at_matrix(0, 0, 10, 0, 0, 0, 0, 1, 0));
    vec3 eye(0, 0, 0);
    camera.get_view_matrix().inverse().transform_point(eye);
    EXPECT_NEAR(eye.x, 0.0f, 1e-5f);
    EXPECT_NEAR(eye.y, 0.0f, 1e-5f);
    EXPECT_NEAR(eye.z, 10.0f, 1e-5f);
}

TEST(Camera, ViewportSpansTheWidthAndIsCentredVertically) {
    const struct {
        int width, height;
        float aspect;
        ViewportRect expected;
    } cases[] = {
        {1920, 1080, 16.0f / 9.0f, {0, 0, 1920, 1080}},
        {1920, 1080, 2.0f, {0, 60, 1920, 960}},
        {1920, 1080, 4.0f / 3.0f, {0, -180, 1920, 1440}},
        {640, 361, 16.0f / 9.0f, {0, 0, 640, 360}},   // (361 - 360) / 2 truncates
        {100, 1, 2.0f, {0, -24, 100, 50}},            // -49 / 2 truncates toward zero
        {0, 0, 1.0f, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " aspect " << c.aspect);
        const ViewportRect vp = Camera::viewport_for(c.width, c.height, c.aspect);
        EXPECT_EQ(vp.x, c.expected.x);
        EXPECT_EQ(vp.y, c.expected.y);
        EXPECT_EQ(vp.width, c.expected.width);
        EXPECT_EQ(vp.height, c.expected.height);
    }
}

}  // namespace
