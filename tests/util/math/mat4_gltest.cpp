// The matrix type against the fixed-function matrix stack of the
// compatibility context: the same operations must give the same matrices.
#include "support/gl_context.h"

#include <GL/glu.h>

#include <functional>

#include "util/math/mat4.h"

namespace {

using test_support::GlTest;

struct Case {
    const char* name;
    std::function<void()> gl;    // on GL_MODELVIEW, after glLoadIdentity
    std::function<void(mat4&)> ours;  // on the identity
};

void expect_same_as_gl(const Case& c) {
    SCOPED_TRACE(c.name);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    c.gl();
    float expected[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, expected);
    EXPECT_NO_GL_ERROR();
    mat4 m;
    c.ours(m);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(m.get(i), expected[i], 1e-5f) << "element " << i;
}

TEST_F(GlTest, Mat4MatchesTheFixedFunctionMatrixStack) {
    const Case cases[] = {
        {"rotate about z", [] { glRotatef(90, 0, 0, 1); }, [](mat4& m) { m.rotate(90, 0, 0, 1); }},
        {"rotate about a skew axis", [] { glRotatef(-37.5f, 1, 2, -3); },
         [](mat4& m) { m.rotate(-37.5f, 1, 2, -3); }},
        {"rotate about a null axis", [] { glRotatef(30, 0, 0, 0); },
         [](mat4& m) { m.rotate(30, 0, 0, 0); }},
        {"translate", [] { glTranslatef(1.5f, -2, 3); }, [](mat4& m) { m.translate(1.5f, -2, 3); }},
        {"scale", [] { glScalef(2, -0.5f, 3); }, [](mat4& m) { m.scale(2, -0.5f, 3); }},
        {"translate rotate scale",
         [] {
             glTranslatef(0.5f, 1, -4);
             glRotatef(75, 0.3f, 1, 0.2f);
             glScalef(1.5f, 1.5f, 0.5f);
             glTranslatef(-1, 0.25f, 2);
         },
         [](mat4& m) {
             m.translate(0.5f, 1, -4);
             m.rotate(75, 0.3f, 1, 0.2f);
             m.scale(1.5f, 1.5f, 0.5f);
             m.translate(vec3(-1, 0.25f, 2));
         }},
        {"ortho", [] { glOrtho(-2, 3, -1, 4, 0.5, 20); },
         [](mat4& m) { m.ortho(-2, 3, -1, 4, 0.5f, 20); }},
        {"unit-square preset", [] { glOrtho(0, 1, 0, 1, -1, 1); }, [](mat4& m) { m = mat4(1); }},
        {"look at", [] { gluLookAt(1, 2, 5, 0, 0.5, -1, 0, 1, 0); },
         [](mat4& m) { m.look_at(1, 2, 5, 0, 0.5f, -1, 0, 1, 0); }},
        {"look at after a rotation",
         [] {
             glRotatef(20, 1, 0, 0);
             gluLookAt(-3, 1, -2, 1, 0, 1, 0.2, 1, 0.1);
         },
         [](mat4& m) {
             m.rotate(20, 1, 0, 0);
             m.look_at(-3, 1, -2, 1, 0, 1, 0.2f, 1, 0.1f);
         }},
        {"perspective", [] { gluPerspective(45, 16.0 / 9.0, 1, 100); },
         [](mat4& m) { m.perspective(45, 16.0f / 9.0f, 1, 100); }},
        {"perspective, narrow and deep", [] { gluPerspective(20, 4.0 / 3.0, 0.1, 1000); },
         [](mat4& m) { m.perspective(20, 4.0f / 3.0f, 0.1f, 1000); }},
        // Multiplying on the right also works on a projection.
        {"perspective then look at and translate",
         [] {
             gluPerspective(60, 1.5, 0.5, 50);
             gluLookAt(0, 1, 6, 0, 0, 0, 0, 1, 0);
             glTranslatef(0.5f, -1, 2);
             glRotatef(15, 0, 1, 0);
         },
         [](mat4& m) {
             m.perspective(60, 1.5f, 0.5f, 50);
             m.look_at(0, 1, 6, 0, 0, 0, 0, 1, 0);
             m.translate(0.5f, -1, 2);
             m.rotate(15, 0, 1, 0);
         }},
    };
    for (const Case& c : cases) expect_same_as_gl(c);
}

TEST_F(GlTest, Mat4ProductAndInverseMatchTheMatrixStack) {
    mat4 a;
    a.perspective(50, 1.25f, 1, 30);
    mat4 b;
    b.look_at(2, 3, 4, 0, 0, 0, 0, 1, 0);
    b.rotate(33, 1, 1, 0);

    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(a.data());
    glMultMatrixf(b.data());
    float expected[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, expected);
    EXPECT_NO_GL_ERROR();
    mat4 product = a * b;
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(product.get(i), expected[i], 1e-5f) << "element " << i;

    glLoadMatrixf(b.data());
    glMultMatrixf(b.inverse().data());
    glGetFloatv(GL_MODELVIEW_MATRIX, expected);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(expected[i], i % 5 == 0 ? 1.0f : 0.0f, 1e-5f) << "element " << i;
    glLoadIdentity();
}

}  // namespace
