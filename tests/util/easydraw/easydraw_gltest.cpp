#include "util/easydraw/easydraw.h"

#include <cmath>

#include "util/gl_draw_helpers.h"
#include "support/gl_context.h"
#include "support/test_support.h"

namespace {

using gl_draw_helpers::pixel;
class EasyDrawTest : public test_support::GlTest {};

struct Vec3 {
    float x, y, z;
};

Vec3 at3(const std::vector<float>& stream, size_t vertex) {
    return {stream[vertex * 3], stream[vertex * 3 + 1], stream[vertex * 3 + 2]};
}

size_t vertex_count() { return easydraw_positions.size() / 3; }

void expect_streams_consistent() {
    const size_t n = vertex_count();
    EXPECT_EQ(easydraw_positions.size(), n * 3);
    EXPECT_EQ(easydraw_normals.size(), n * 3);
    EXPECT_EQ(easydraw_tangents.size(), n * 3);
    EXPECT_EQ(easydraw_texcoords.size(), n * 2);
}

TEST_F(EasyDrawTest, SphereVertexCountsFollowTheSubdivisionLevel) {
    const struct {
        int divisions;
        size_t vertices;
    } cases[] = {{1, 240}, {2, 960}, {3, 3840}, {4, 15360}, {5, 61440}};
    for (const auto& c : cases) {
        easydraw_sphere(2.0f, c.divisions, false);
        EXPECT_NO_GL_ERROR();
        ASSERT_EQ(vertex_count(), c.vertices) << c.divisions;
        expect_streams_consistent();
        for (size_t i = 0; i < vertex_count(); ++i) {
            const Vec3 p = at3(easydraw_positions, i);
            const Vec3 n = at3(easydraw_normals, i);
            ASSERT_NEAR(std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z), 2.0f, 1e-5f);
            ASSERT_NEAR(std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z), 1.0f, 1e-5f);
        }
    }
}

TEST_F(EasyDrawTest, SphereFirstVertexAndWindingSeenFromOutside) {
    easydraw_sphere(1.0f, 1, false);
    EXPECT_NO_GL_ERROR();
    const Vec3 p = at3(easydraw_positions, 0);
    const Vec3 n = at3(easydraw_normals, 0);
    EXPECT_NEAR(p.x, 0, 1e-6f);
    EXPECT_NEAR(p.y, 0, 1e-6f);
    EXPECT_NEAR(p.z, 1, 1e-6f);
    EXPECT_NEAR(n.z, 1, 1e-6f);
    EXPECT_NEAR(easydraw_texcoords[0], 2.5f, 1e-5f);
    EXPECT_NEAR(easydraw_texcoords[1], 2.5f, 1e-5f);
    for (size_t i = 0; i < 3; ++i) {
        const Vec3 t = at3(easydraw_tangents, i);
        EXPECT_NEAR(t.x, 0, 1e-6f);
        EXPECT_NEAR(t.y, -0.525731f, 1e-6f);
        EXPECT_NEAR(t.z, 0, 1e-6f);
    }
    // Counter-clockwise seen from outside: the face normal points away from
    // the centre.
    for (size_t tri = 0; tri < vertex_count() / 3; ++tri) {
        const Vec3 a = at3(easydraw_positions, tri * 3);
        const Vec3 b = at3(easydraw_positions, tri * 3 + 1);
        const Vec3 c = at3(easydraw_positions, tri * 3 + 2);
        const Vec3 u{b.x - a.x, b.y - a.y, b.z - a.z}, v{c.x - a.x, c.y - a.y, c.z - a.z};
        const Vec3 face{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
        ASSERT_GT(face.x * a.x + face.y * a.y + face.z * a.z, 0.0f) << tri;
    }
}

TEST_F(EasyDrawTest, InvertedSphereNegatesOnlyTheNormals) {
    easydraw_sphere(1.5f, 2, false);
    const auto positions = easydraw_positions;
    const auto normals = easydraw_normals;
    const auto texcoords = easydraw_texcoords;
    const auto tangents = easydraw_tangents;
    easydraw_sphere(1.5f, 2, true);
    EXPECT_NO_GL_ERROR();
    EXPECT_EQ(easydraw_positions, positions);
    EXPECT_EQ(easydraw_texcoords, texcoords);
    EXPECT_EQ(easydraw_tangents, tangents);
    ASSERT_EQ(easydraw_normals.size(), normals.size());
    for (size_t i = 0; i < normals.size(); ++i) EXPECT_EQ(easydraw_normals[i], -normals[i]);
}

TEST_F(EasyDrawTest, SphereIsBuiltOnlyWhenItsArgumentsChange) {
    easydraw_sphere(1.0f, 1, false);
    easydraw_positions.clear();  // a rebuild would fill the streams again
    easydraw_sphere(1.0f, 1, false);
    EXPECT_TRUE(easydraw_positions.empty());
    easydraw_sphere(1.0f, 1, true);
    EXPECT_EQ(vertex_count(), 240u);
    EXPECT_NO_GL_ERROR();
}

TEST_F(EasyDrawTest, SphereDivisionsOutsideOneToFive) {
    easydraw_sphere(1.0f, 1, false);
    easydraw_positions.clear();
    easydraw_sphere(1.0f, 0, false);
    easydraw_sphere(1.0f, -3, false);
    EXPECT_TRUE(easydraw_positions.empty());
    EXPECT_FATAL(easydraw_sphere(1.0f, 6, false), "More than 5 divisions not supported");
    EXPECT_NO_GL_ERROR();
}

TEST_F(EasyDrawTest, BoxHasTwentyFourVerticesWithinItsBounds) {
    for (bool inverted : {false, true}) {
        easydraw_box(2, 4, 6, inverted);
        EXPECT_NO_GL_ERROR();
        ASSERT_EQ(vertex_count(), 24u);
        expect_streams_consistent();
        const float s = inverted ? -1.0f : 1.0f;
        for (size_t i = 0; i < 24; ++i) {
            const Vec3 p = at3(easydraw_positions, i);
            EXPECT_EQ(std::fabs(p.x), 1.0f);
            EXPECT_EQ(std::fabs(p.y), 2.0f);
            EXPECT_EQ(std::fabs(p.z), 3.0f);
            // Every vertex lies on the face its normal points out of.
            const Vec3 n = at3(easydraw_normals, i);
            EXPECT_EQ(s * n.x * p.x + s * n.y * p.y + s * n.z * p.z,
                      std::fabs(n.x) * 1 + std::fabs(n.y) * 2 + std::fabs(n.z) * 3);
        }
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(at3(easydraw_positions, i).y, -2.0f);
            EXPECT_EQ(at3(easydraw_normals, i).y, -s);
        }
    }
}

TEST_F(EasyDrawTest, PlaneCornersNormalAndTangent) {
    easydraw_plane(2, 6, true);
    EXPECT_NO_GL_ERROR();
    ASSERT_EQ(vertex_count(), 4u);
    const float corners[4][2] = {{-1, -3}, {-1, 3}, {1, 3}, {1, -3}};
    for (size_t i = 0; i < 4; ++i) {
        const Vec3 p = at3(easydraw_positions, i);
        EXPECT_EQ(p.x, corners[i][0]);
        EXPECT_EQ(p.y, 0.0f);
        EXPECT_EQ(p.z, corners[i][1]);
        const Vec3 n = at3(easydraw_normals, i);
        EXPECT_EQ(n.y, -1.0f);
        const Vec3 t = at3(easydraw_tangents, i);
        EXPECT_EQ(t.x, 1.0f);
    }
}

// A 2x2 texture, bottom row red, green; top row blue, white.
GLuint make_corner_texture() {
    const unsigned char texels[16] = {255, 0, 0, 255, 0, 255, 0, 255,
                                      0, 0, 255, 255, 255, 255, 255, 255};
    GLuint id = 0;
    glGenTextures(1, &id);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    return id;
}

std::vector<int> rgb(int r, int g, int b) { return {r, g, b, 255}; }

void expect_corners(bool upright) {
    const auto red = rgb(255, 0, 0), green = rgb(0, 255, 0), blue = rgb(0, 0, 255),
               white = rgb(255, 255, 255);
    EXPECT_EQ(pixel(1, 1), upright ? red : blue);
    EXPECT_EQ(pixel(6, 1), upright ? green : white);
    EXPECT_EQ(pixel(1, 6), upright ? blue : red);
    EXPECT_EQ(pixel(6, 6), upright ? white : green);
}

TEST_F(EasyDrawTest, QuadRoutinesDrawTheirOwnRectangles) {
    FBO target(8, 8, FBO_TYPE_RGBA8, 0);
    const GLuint texture = make_corner_texture();
    glClearColor(0, 0, 0, 0);
    target.push(true);
    static ShaderProgram* program =
        gl_draw_helpers::program_from(make_shader_texture2d("TestQuads"));
    program->bind();
    program->set_uniform_matrix4fv("ProjectionMatrix", gl_draw_helpers::unit_square_projection(), 1,
                                   false);
    glBindTexture(GL_TEXTURE_2D, texture);

    easydraw_quad(0, 0, 1, 1);
    EXPECT_NO_GL_ERROR();
    expect_corners(true);

    easydraw_quad_uv(0, 0, 1, 1, 0, 1, 1, 0);
    EXPECT_NO_GL_ERROR();
    expect_corners(false);

    // The full-screen square spans -1..1, so draw it without projection.
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    program->set_uniform_matrix4fv("ProjectionMatrix", identity, 1, false);
    easydraw_fullscreen_quad();
    EXPECT_NO_GL_ERROR();
    expect_corners(true);

    // Each routine keeps its own arrays: the flipped quad is still flipped,
    // and a small quad covers only its corner.
    program->set_uniform_matrix4fv("ProjectionMatrix", gl_draw_helpers::unit_square_projection(), 1,
                                   false);
    easydraw_quad_uv(0, 0, 1, 1, 0, 1, 1, 0);
    expect_corners(false);
    glClear(GL_COLOR_BUFFER_BIT);
    easydraw_quad(0, 0, 0.5f, 0.5f);
    EXPECT_EQ(pixel(1, 1), rgb(255, 0, 0));
    EXPECT_EQ(pixel(3, 3), rgb(255, 255, 255));
    EXPECT_EQ(pixel(5, 5), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_NO_GL_ERROR();

    // No vertex array or array buffer is left bound for client arrays.
    GLint vao = -1, buffer = -1;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vao);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &buffer);
    EXPECT_EQ(vao, 0);
    EXPECT_EQ(buffer, 0);
    target.pop();
    glDeleteTextures(1, &texture);
    EXPECT_NO_GL_ERROR();
}

}  // namespace
