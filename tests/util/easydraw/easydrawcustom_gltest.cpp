#include "util/easydraw/easydrawcustom.h"

#include <vector>

#include "support/gl_context.h"
#include "support/test_support.h"
#include "util/gl_draw_helpers.h"

namespace {

class EasyDrawObjectTest : public test_support::GlTest {};

// Primitives the draw produced, counted by the GL.
GLuint primitives_drawn(EasyDrawObject& object, GLenum mode) {
    GLuint query = 0;
    glGenQueries(1, &query);
    glBeginQuery(GL_PRIMITIVES_GENERATED, query);
    object.draw(mode);
    glEndQuery(GL_PRIMITIVES_GENERATED);
    GLuint count = 0;
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
    glDeleteQueries(1, &query);
    return count;
}

// 12 floats: a square of four vertices.
const float kSquare[12] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
const float kSquareUv[8] = {0, 0, 1, 0, 1, 1, 0, 1};

TEST_F(EasyDrawObjectTest, EmptyObjectDrawsNothing) {
    EasyDrawObject object;
    EXPECT_EQ(primitives_drawn(object, GL_TRIANGLES), 0u);
    EXPECT_NO_GL_ERROR();
    // Instance data alone gives no vertices either.
    const float colours[8] = {1, 0, 0, 1, 0, 1, 0, 1};
    object.set_attribute(4, 4, 8, colours, 1);
    EXPECT_EQ(primitives_drawn(object, GL_TRIANGLES), 0u);
    EXPECT_EQ(object.get_vertex_count(), 0u);
    EXPECT_EQ(object.get_instance_count(), 2u);
    EXPECT_NO_GL_ERROR();
}

TEST_F(EasyDrawObjectTest, CountsComeFromTheArraySizes) {
    EasyDrawObject object;
    object.set_attribute(0, 3, 12, kSquare, 0);
    object.set_attribute(2, 2, 8, kSquareUv, 0);
    EXPECT_EQ(primitives_drawn(object, GL_QUADS), 1u);
    EXPECT_EQ(object.get_vertex_count(), 4u);
    EXPECT_NO_GL_ERROR();

    // A per-vertex slot of count 0 does not fix the vertex count.
    EasyDrawObject late;
    late.set_attribute(0, 3, 0, nullptr, 0);
    late.set_attribute(1, 3, 12, kSquare, 0);
    EXPECT_EQ(primitives_drawn(late, GL_QUADS), 1u);
    EXPECT_NO_GL_ERROR();
}

TEST_F(EasyDrawObjectTest, IndexedInstancedDraw) {
    std::vector<float> positions(72, 0.0f);
    const float colours[8] = {1, 0, 0, 1, 0, 0, 1, 1};
    std::vector<float> matrices(32, 0.0f);
    std::vector<uint32_t> indices(36);
    for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uint32_t>(i % 24);

    EasyDrawObject object;
    object.set_attribute(0, 3, 72, positions.data(), 0);
    object.set_attribute(4, 4, 8, colours, 1);
    object.set_instanced_matrices(8, 32, matrices.data());
    object.set_indices(36, indices.data());
    EXPECT_EQ(primitives_drawn(object, GL_TRIANGLES), 24u);  // 12 triangles x 2 instances
    EXPECT_EQ(object.get_vertex_count(), 24u);
    EXPECT_EQ(object.get_instance_count(), 2u);
    EXPECT_NO_GL_ERROR();

    // Fewer indices: re-specified, and the new count is drawn.
    object.set_indices(6, indices.data());
    EXPECT_EQ(primitives_drawn(object, GL_TRIANGLES), 4u);
    EXPECT_NO_GL_ERROR();
}

TEST_F(EasyDrawObjectTest, NewDataOfTheSameSizeIsDrawn) {
    FBO target(4, 4, FBO_TYPE_RGBA8, 0);
    ShaderProgram* program = gl_draw_helpers::program_from(make_shader_color2d("TestColor2d"));
    glClearColor(0, 0, 0, 0);
    target.push(true);
    program->bind();
    program->set_uniform_matrix4fv("ProjectionMatrix", gl_draw_helpers::unit_square_projection(), 1,
                                   false);
    program->set_uniform4f("Color", 1, 1, 1, 1);

    // Left half, then the right half with the same number of floats.
    const float left[8] = {0, 0, 0.5f, 0, 0.5f, 1, 0, 1};
    const float right[8] = {0.5f, 0, 1, 0, 1, 1, 0.5f, 1};
    EasyDrawObject object;
    object.set_attribute(0, 2, 8, left, 0);
    object.draw(GL_QUADS);
    EXPECT_EQ(gl_draw_helpers::pixel(0, 0)[0], 255);
    EXPECT_EQ(gl_draw_helpers::pixel(3, 0)[0], 0);
    glClear(GL_COLOR_BUFFER_BIT);
    object.set_attribute(0, 2, 8, right, 0);
    object.draw(GL_QUADS);
    EXPECT_EQ(gl_draw_helpers::pixel(0, 0)[0], 0);
    EXPECT_EQ(gl_draw_helpers::pixel(3, 0)[0], 255);
    target.pop();
    EXPECT_NO_GL_ERROR();
}

TEST_F(EasyDrawObjectTest, ChangingTheShapeOfASlotAtTheSameCountRespecifiesIt) {
    // 12 floats read first as four 3-component vertices, then as six
    // 2-component ones; the second layout must be used.
    const float floats[12] = {0, 0, 1, 0, 1, 1, 0, 0, 1, 1, 0, 1};
    EasyDrawObject object;
    object.set_attribute(0, 3, 12, floats, 0);
    EXPECT_EQ(primitives_drawn(object, GL_TRIANGLES), 1u);
    object.set_attribute(0, 2, 12, floats, 0);
    EXPECT_EQ(primitives_drawn(object, GL_TRIANGLES), 2u);
    EXPECT_EQ(object.get_vertex_count(), 6u);
    EXPECT_NO_GL_ERROR();
}

TEST_F(EasyDrawObjectTest, RefusedArguments) {
    EasyDrawObject object;
    const float floats[12] = {};
    EXPECT_FATAL(object.set_attribute(16, 3, 12, floats, 0), "Failed assert index < VERTEX_ATTRIB_MAX");
    EXPECT_FATAL(object.set_instanced_matrices(16, 16, floats),
                 "Failed assert index < VERTEX_ATTRIB_MAX");
    EXPECT_FATAL(object.set_attribute(0, 3, 10, floats, 0), "Failed assert 0 == count % stride");
    EXPECT_FATAL(object.set_instanced_matrices(8, 12, floats), "Failed assert 0 == count % 16");
    // A stride of 0 or above 4, and a matrix that would run past location 15.
    EXPECT_FATAL(object.set_attribute(0, 0, 12, floats, 0),
                 "Failed assert stride >= 1 && stride <= 4");
    EXPECT_FATAL(object.set_attribute(0, 6, 12, floats, 0),
                 "Failed assert stride >= 1 && stride <= 4");
    EXPECT_FATAL(object.set_instanced_matrices(13, 16, floats),
                 "Failed assert index + 4 <= VERTEX_ATTRIB_MAX");
    EXPECT_NO_GL_ERROR();
}

TEST_F(EasyDrawObjectTest, MismatchedCountsEndTheRun) {
    EasyDrawObject vertices;
    vertices.set_attribute(0, 3, 12, kSquare, 0);
    vertices.set_attribute(1, 3, 9, kSquare, 0);
    EXPECT_FATAL(vertices.draw(GL_TRIANGLES), "Count 4 does not match att.count 9 / att.stride 3");

    EasyDrawObject instances;
    const float data[32] = {};
    instances.set_attribute(0, 3, 12, kSquare, 0);
    instances.set_attribute(4, 4, 8, data, 1);
    instances.set_instanced_matrices(8, 16, data);
    EXPECT_FATAL(instances.draw(GL_TRIANGLES),
                 "Failed assert instances == att.count / ( att.locations * att.stride )");
    EXPECT_NO_GL_ERROR();
}

}  // namespace
