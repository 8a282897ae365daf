// Camera::setup against GLU in the compatibility context: the projection it
// loads must be gluPerspective's, the model-view gluLookAt's, and the
// viewport must follow the full-width, vertically centred rule.
#include "support/gl_context.h"

#include <GL/glu.h>

#include <functional>
#include <limits>

#include "support/test_support.h"
#include "util/camera/camera.h"

namespace {

using test_support::GlTest;

struct Expected {
    int viewport[4];
    double fov, aspect, near, far;  // of gluPerspective
};

struct Case {
    const char* name;
    int width, height;
    float aspect, clip_scale;
    std::function<void(Camera&)> prepare;
    Expected expected;
};

void read_matrix(GLenum which, float out[16]) { glGetFloatv(which, out); }

void expect_matrix(GLenum which, const std::function<void()>& glu, const char* what) {
    float actual[16], expected[16];
    read_matrix(which == GL_PROJECTION ? GL_PROJECTION_MATRIX : GL_MODELVIEW_MATRIX, actual);
    glMatrixMode(which);
    glPushMatrix();
    glLoadIdentity();
    glu();
    read_matrix(which == GL_PROJECTION ? GL_PROJECTION_MATRIX : GL_MODELVIEW_MATRIX, expected);
    glPopMatrix();
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-5f) << what << " element " << i;
}

TEST_F(GlTest, CameraSetupMatchesGluPerspectiveAndGluLookAt) {
    const float wide = 16.0f / 9.0f;
    const auto nothing = [](Camera&) {};
    const Case cases[] = {
        {"initial camera, 16:9", 1920, 1080, wide, 1.0f, nothing, {{0, 0, 1920, 1080}, 45, wide, 1, 1000}},
        {"aspect 2 letter-boxes", 1920, 1080, 2.0f, 1.0f, nothing, {{0, 60, 1920, 960}, 45, 2, 1, 1000}},
        {"aspect 4:3 overflows", 1920, 1080, 4.0f / 3.0f, 1.0f, nothing,
         {{0, -180, 1920, 1440}, 45, 4.0 / 3.0, 1, 1000}},
        {"fov from fov_x", 1920, 1080, 2.0f, 1.0f, [](Camera& c) { c.set_fov_x(90); },
         {{0, 60, 1920, 960}, 45, 2, 1, 1000}},
        {"fov set, clip scaled", 640, 360, wide, 2.0f,
         [](Camera& c) {
             c.set_fov(60);
             c.set_clip(0.5f, 200);
             c.look_at(-15, -15, -15, 0, 0, 0, 0, 1, 0);
         },
         {{0, 0, 640, 360}, 60, wide, 1, 400}},
        {"own size replaces the arguments", 640, 360, wide, 1.0f,
         [](Camera& c) {
             c.own_width = 800;
             c.own_height = 600;
             c.own_aspect = 4.0f / 3.0f;
             c.look_at(3, 4, 5, 1, 0, -1, 0.2f, 1, 0);
         },
         {{0, 0, 800, 600}, 45, 4.0 / 3.0, 1, 1000}},
        {"own size needs all three", 640, 360, wide, 1.0f,
         [](Camera& c) {
             c.own_width = 800;
             c.own_height = 600;
         },
         {{0, 0, 640, 360}, 45, wide, 1, 1000}},
        {"height 0 counts as 1", 100, 0, 2.0f, 1.0f, nothing, {{0, -24, 100, 50}, 45, 2, 1, 1000}},
        {"largest target", 10000, 10000, 1.0f, 1.0f, nothing, {{0, 0, 10000, 10000}, 45, 1, 1, 1000}},
        {"near plane at 0", 320, 180, wide, 1.0f,
         [](Camera& c) {
             c.set_znear(0);
             c.set_fov(30);
         },
         {{0, 0, 320, 180}, 30, wide, 0, 1000}},
        {"view offset and small clip range", 320, 240, 4.0f / 3.0f, 1.0f,
         [](Camera& c) {
             c.set_clip_from_scale(10);
             c.look_at(0, 10, 40, 0, 0, 0, 0, 1, 0);
             c.view_offset.set(1, -2, 3);
         },
         {{0, 0, 320, 240}, 45, 4.0 / 3.0, 0.01, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Camera camera;
        c.prepare(camera);
        const mat4 returned = camera.setup(c.width, c.height, c.aspect, c.clip_scale);
        EXPECT_NO_GL_ERROR();

        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(viewport[i], c.expected.viewport[i]) << "viewport " << i;
        EXPECT_FLOAT_EQ(camera.fov, static_cast<float>(c.expected.fov));

        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        const Expected e = c.expected;
        expect_matrix(GL_PROJECTION, [&] { gluPerspective(e.fov, e.aspect, e.near, e.far); }, "projection");
        const vec3 eye = camera.eye, dst = camera.dst, up = camera.up, offset = camera.view_offset;
        // A camera that never looked at anything keeps the identity view.
        const bool looked = camera.eye.z != -150.0f;
        expect_matrix(GL_MODELVIEW,
                      [&] {
                          if (looked) gluLookAt(eye.x, eye.y, eye.z, dst.x, dst.y, dst.z, up.x, up.y, up.z);
                          glTranslatef(offset.x, offset.y, offset.z);
                      },
                      "model-view");
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(returned.get(i), camera.get_projection_matrix().get(i));
        }
        EXPECT_NO_GL_ERROR();
    }
}

TEST_F(GlTest, CameraSetupRefusesBadSizesClipRangesAndAspects) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        int width, height;
        float aspect;
        std::function<void(Camera&)> prepare;
        const char* message;
    } cases[] = {
        {10001, 1080, 1.0f, nullptr, "Sanity check failed on width/height 10001/1080"},
        {1920, 10001, 1.0f, nullptr, "Sanity check failed on width/height 1920/10001"},
        {-1, 1080, 1.0f, nullptr, "Sanity check failed on width/height -1/1080"},
        {640, -1, 1.0f, nullptr, "Sanity check failed on width/height 640/-1"},
        // The check applies to the arguments, before the own size replaces them.
        {10001, 100, 1.0f,
         [](Camera& c) {
             c.own_width = 640;
             c.own_height = 360;
             c.own_aspect = 1.5f;
         },
         "Sanity check failed on width/height 10001/100"},
        {640, 360, 1.0f, [](Camera& c) { c.set_znear(-0.5f); }, "Invalid znear/zfar of -0.5/1000"},
        {640, 360, 1.0f, [](Camera& c) { c.set_clip(1.0f / 3.0f, -2); },
         "Invalid znear/zfar of 0.333333/-2"},
        {640, 360, 0.0f, nullptr, "Sanity check failed on aspect 0"},
        {640, 360, -1.5f, nullptr, "Sanity check failed on aspect -1.5"},
        {640, 360, nan, nullptr, "Sanity check failed on aspect nan"},
        {10000, 360, 1e-6f, nullptr, "Sanity check failed on aspect 1e-06"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Camera camera;
        if (c.prepare) c.prepare(camera);
        EXPECT_FATAL(camera.setup(c.width, c.height, c.aspect, 1.0f), c.message);
    }
    // A near plane at 0 is no error.
    Camera camera;
    camera.set_znear(0.0f);
    camera.setup(640, 360, 16.0f / 9.0f, 1.0f);
    EXPECT_NO_GL_ERROR();
}

}  // namespace
