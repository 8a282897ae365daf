// The GPU side of geometry objects and of a light's shadow cube map.
#include <memory>
#include <numeric>

#include "support/gl_context.h"
#include "support/test_support.h"
#include "util/fbo/fbo.h"
#include "util/gl_draw_helpers.h"
#include "util/objects3d/geomobject.h"
#include "util/objects3d/light.h"

namespace {

using gl_draw_helpers::pixel;

class GeomObjectGlTest : public test_support::GlTest {};
class LightGlTest : public test_support::GlTest {};

void register_mesh(GeomObject& object, Mesh* mesh) {
    object.mesh_id = 0;
    object.mesh_ptr = mesh;
    object.ivertices.resize(mesh->vertex_count());
    std::iota(object.ivertices.begin(), object.ivertices.end(), 0);
    object.inormals = object.itexcoords = object.ivertices;
}

// Instance matrices at 8..11 and instance colours at 4, as the objects feed them.
ShaderProgram* instanced_colour_program() {
    static ShaderProgram* program = [] {
        auto s = std::make_unique<ShaderConstructor>("InstancedColourTest", "#version 420");
        s->add_vert_global("uniform mat4 ProjectionMatrix;");
        s->add_vert_global("layout (location = 0) in vec3 Position;");
        s->add_vert_global("layout (location = 4) in vec4 InstanceColour;");
        s->add_vert_global("layout (location = 8) in mat4 ModelViewMatrix;");
        s->add_vert_global("out vec4 Colour;");
        s->add_vert_body("\tColour = InstanceColour;");
        s->add_vert_body("\tgl_Position = ProjectionMatrix * ModelViewMatrix * vec4( Position, 1.0 );");
        s->add_frag_global("in vec4 Colour;");
        s->add_frag_global("out vec4 FragColor;");
        s->add_frag_body("\tFragColor = Colour;");
        return gl_draw_helpers::program_from(std::move(s));
    }();
    return program;
}

mat4 at(float x, float y) {
    mat4 m;
    m.translate(x, y, 0.0f);
    return m;
}

TEST_F(GeomObjectGlTest, TwoInstancesDrawWithTheirOwnMatricesAndColours) {
    FBO target(64, 64, FBO_TYPE_RGBA8, 0);
    target.push(true);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    ShaderProgram* program = instanced_colour_program();
    program->bind();
    mat4 ortho;
    ortho.ortho(-1, 1, -1, 1, -1, 1);
    program->set_uniform_matrix4fv("ProjectionMatrix", ortho.data(), 1, false);

    std::unique_ptr<Mesh> cube(create_cube(0.5f, false));
    GeomObject object;
    register_mesh(object, cube.get());
    object.set_instance_matrices({at(-0.5f, 0.0f), at(0.5f, 0.0f)});
    object.set_instance_colors({vec4(1, 0, 0, 1), vec4(0, 0, 1, 1)});
    object.draw();
    EXPECT_TRUE(object.vbos_created);
    EXPECT_EQ(object.draw_object.get_instance_count(), 2u);
    EXPECT_EQ(pixel(16, 32), (std::vector<int>{255, 0, 0, 255}));  // left instance
    EXPECT_EQ(pixel(48, 32), (std::vector<int>{0, 0, 255, 255}));  // right instance
    EXPECT_EQ(pixel(32, 60), (std::vector<int>{0, 0, 0, 0}));      // between and above

    // Later draws upload only the instance data: the flat lists stay as built.
    const float* built = object.vbo_vertices.data();
    glClear(GL_COLOR_BUFFER_BIT);
    object.set_instance_matrices({at(0.0f, 0.5f), at(0.0f, -0.5f)});
    object.set_instance_colors({vec4(0, 1, 0, 1), vec4(1, 1, 0, 1)});
    object.draw();
    EXPECT_EQ(object.vbo_vertices.data(), built);
    EXPECT_EQ(object.vbo_vertices.size(), 108u);
    EXPECT_EQ(pixel(32, 48), (std::vector<int>{0, 255, 0, 255}));
    EXPECT_EQ(pixel(32, 16), (std::vector<int>{255, 255, 0, 255}));
    EXPECT_EQ(pixel(16, 32), (std::vector<int>{0, 0, 0, 0}));
    target.pop();
    EXPECT_NO_GL_ERROR();
}

TEST_F(GeomObjectGlTest, InstanceColoursMustMatchTheMatrices) {
    GeomObject object;
    std::vector<mat4> matrices(6400);
    object.set_instance_matrices(matrices);
    EXPECT_EQ(object.num_instances, 6400);
    object.set_instance_colors(std::vector<vec4>(6400, vec4(1, 1, 1, 1)));
    EXPECT_FATAL(object.set_instance_colors(std::vector<vec4>(6399, vec4(1, 1, 1, 1))),
                 "Failed assert diffuseColors.size() == num_instances");
    EXPECT_NO_GL_ERROR();
}

// Three squares in a row, left to right at depths 0, 0.5 and 1, two
// triangles each; trimming a quarter of the depth range off each end keeps
// only the middle one, wherever the run lies in the index list.
TEST_F(GeomObjectGlTest, DepthTrimmingDrawsOnlyTheTrianglesBetweenTheCuts) {
    FBO target(64, 64, FBO_TYPE_RGBA8, 0);
    target.push(true);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    ShaderProgram* program = instanced_colour_program();
    program->bind();
    mat4 ortho;
    ortho.ortho(-1, 1, -1, 1, -2, 2);
    program->set_uniform_matrix4fv("ProjectionMatrix", ortho.data(), 1, false);

    Mesh squares;
    squares.vertices_stride = 3;
    for (int i = 0; i < 3; ++i) {
        const float x = -0.6f + 0.6f * static_cast<float>(i), z = 0.5f * static_cast<float>(i);
        const float l = x - 0.2f, r = x + 0.2f;
        squares.vertices.insert(squares.vertices.end(),
                                {l, -0.2f, z, r, -0.2f, z, r, 0.2f, z, l, -0.2f, z, r, 0.2f, z, l, 0.2f, z});
    }
    GeomObject object;
    object.mesh_id = 0;
    object.mesh_ptr = &squares;
    object.ivertices.resize(18);
    std::iota(object.ivertices.begin(), object.ivertices.end(), 0);
    object.triangle_depths = {0, 0, 0.5f, 0.5f, 1, 1};
    object.z_sorted = true;

    const std::vector<int> white{255, 255, 255, 255}, black{0, 0, 0, 0};
    struct Step {
        const char* what;
        bool trim;
        float trim_start, trim_end;
        std::vector<int> left, middle, right;
    };
    const Step steps[] = {
        {"a quarter off each end", true, 0.25f, 0.25f, black, white, black},
        {"the near end only", true, 0.25f, -50.0f, black, white, white},
        // Nothing left between the cuts: nothing drawn, not every vertex.
        {"overlapping cuts", true, 0.75f, 0.75f, black, black, black},
        {"trimming off", false, 0.75f, 0.75f, white, white, white},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        object.depth_trim = s.trim;
        object.trim_start = s.trim_start;
        object.trim_end = s.trim_end;
        glClear(GL_COLOR_BUFFER_BIT);
        object.set_instance_matrices({mat4()});
        object.set_instance_colors({vec4(1, 1, 1, 1)});
        object.draw();
        EXPECT_EQ(pixel(13, 32), s.left);
        EXPECT_EQ(pixel(32, 32), s.middle);
        EXPECT_EQ(pixel(51, 32), s.right);
    }
    target.pop();
    EXPECT_NO_GL_ERROR();
}

GLint face_width(GLuint cube_map, int face) {
    GLint width = -1;
    glBindTexture(GL_TEXTURE_CUBE_MAP, cube_map);
    glGetTexLevelParameteriv(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_TEXTURE_WIDTH, &width);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    return width;
}

GLint get_int(GLenum what) {
    GLint value = -1;
    glGetIntegerv(what, &value);
    return value;
}

TEST_F(LightGlTest, CubeMapIsCreatedOnceAndRebuiltAtTheRenderWidth) {
    Light light;
    light.shadow_size = 32;  // the 2048 default, shrunk to keep the test light
    light.set_shadows(true);
    const GLuint map = light.shadow_map, fbo = light.shadow_fbo;
    ASSERT_NE(map, 0u);
    ASSERT_NE(fbo, 0u);
    light.set_shadows(true);
    EXPECT_EQ(light.shadow_map, map);
    EXPECT_EQ(light.shadow_fbo, fbo);
    for (int f = 0; f < Light::kFaces; ++f) EXPECT_EQ(face_width(light.shadow_map, f), 32);

    GLint compare = 0;
    glBindTexture(GL_TEXTURE_CUBE_MAP, light.shadow_map);
    glGetTexParameteriv(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_COMPARE_MODE, &compare);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    EXPECT_EQ(compare, GL_COMPARE_R_TO_TEXTURE);

    struct Step {
        int width, height, expected;
    };
    for (Step s : {Step{128, 72, 128}, Step{128, 72, 128}, Step{192, 108, 192}}) {
        light.resize(s.width, s.height);
        EXPECT_EQ(light.shadow_size, s.expected);
        EXPECT_EQ(face_width(light.shadow_map, 5), s.expected);
    }
    EXPECT_EQ(light.shadow_fbo, fbo);  // the frame buffer stays

    light.set_shadows(false);  // keeps what it has
    EXPECT_NE(light.shadow_map, 0u);
    EXPECT_NO_GL_ERROR();
}

TEST_F(LightGlTest, AFixedShadowSizeHoldsWhateverTheRenderSize) {
    Light light;
    light.shadow_size = 32;
    light.set_shadows(true);
    light.resize(128, 72);
    ASSERT_EQ(face_width(light.shadow_map, 0), 128);
    // Fixed on an existing map: rebuilt at once, then kept through resizes.
    light.set_fixed_shadow_size(16);
    for (int width : {128, 192, 64}) {
        light.resize(width, width / 2);
        EXPECT_EQ(light.shadow_size, 16) << width;
        for (int f = 0; f < Light::kFaces; ++f) EXPECT_EQ(face_width(light.shadow_map, f), 16) << width;
    }
    // Fixed before the map exists: the map is made at that size.
    Light later;
    later.set_fixed_shadow_size(24);
    later.resize(128, 72);
    later.set_shadows(true);
    later.resize(192, 108);
    EXPECT_EQ(face_width(later.shadow_map, 3), 24);
    // Released: the next resize follows the render width again.
    light.set_fixed_shadow_size(0);
    light.resize(96, 54);
    EXPECT_EQ(face_width(light.shadow_map, 0), 96);
    EXPECT_NO_GL_ERROR();
}

TEST_F(LightGlTest, ShadowFaceRendersIntoTheFaceAndRestoresTheState) {
    Light light;
    light.shadow_size = 32;
    light.set_position(5, 0, 0);
    light.set_shadows(true);

    FBO target(16, 16, FBO_TYPE_RGBA8, 0);
    target.push(false);
    glViewport(1, 2, 13, 14);
    glDepthMask(GL_FALSE);  // a transparent material drawn last leaves it so
    glMatrixMode(GL_MODELVIEW);
    const GLint before_fbo = get_int(GL_FRAMEBUFFER_BINDING_EXT);
    const GLint before_draw = get_int(GL_DRAW_BUFFER);
    const GLint before_read = get_int(GL_READ_BUFFER);
    const GLint projection_depth = get_int(GL_PROJECTION_STACK_DEPTH);
    const GLint modelview_depth = get_int(GL_MODELVIEW_STACK_DEPTH);

    const mat4 m = light.begin_shadow_face(1);
    const mat4 expected = light.face_views[1] * light.get_view_matrix();
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m.get(i), expected.get(i));
    EXPECT_EQ(get_int(GL_FRAMEBUFFER_BINDING_EXT), static_cast<GLint>(light.shadow_fbo));
    EXPECT_EQ(glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE_EXT));
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ(vp[2], 32);
    EXPECT_EQ(vp[3], 32);
    EXPECT_EQ(get_int(GL_DRAW_BUFFER), GL_NONE);
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
    EXPECT_EQ(get_int(GL_DEPTH_WRITEMASK), GL_TRUE);  // the clear must reach the face
    EXPECT_EQ(get_int(GL_PROJECTION_STACK_DEPTH), projection_depth + 1);
    float loaded[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, loaded);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(loaded[i], expected.get(i));
    // The face was cleared to the far plane.
    float depth = 0.0f;
    glBindTexture(GL_TEXTURE_CUBE_MAP, light.shadow_map);
    std::vector<float> texels(32 * 32);
    glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X + 1, 0, GL_DEPTH_COMPONENT, GL_FLOAT, texels.data());
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    depth = texels[0];
    EXPECT_EQ(depth, 1.0f);

    light.end_shadow_face();
    EXPECT_EQ(get_int(GL_FRAMEBUFFER_BINDING_EXT), before_fbo);
    EXPECT_EQ(get_int(GL_DRAW_BUFFER), before_draw);
    EXPECT_EQ(get_int(GL_READ_BUFFER), before_read);
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ((std::vector<GLint>{vp[0], vp[1], vp[2], vp[3]}), (std::vector<GLint>{1, 2, 13, 14}));
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
    EXPECT_EQ(get_int(GL_DEPTH_WRITEMASK), GL_FALSE);
    EXPECT_EQ(get_int(GL_PROJECTION_STACK_DEPTH), projection_depth);
    EXPECT_EQ(get_int(GL_MODELVIEW_STACK_DEPTH), modelview_depth);
    EXPECT_EQ(get_int(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_EQ(get_int(GL_CULL_FACE_MODE), GL_FRONT);  // not restored, as the passes expect
    glDepthMask(GL_TRUE);
    glCullFace(GL_BACK);
    target.pop();
    EXPECT_NO_GL_ERROR();
}

TEST_F(LightGlTest, ShadowMapBindsOnUnitZero) {
    Light light;
    light.shadow_size = 8;
    light.set_shadows(true);
    glActiveTexture(GL_TEXTURE3);
    light.bind_shadow_map();
    EXPECT_EQ(get_int(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_EQ(get_int(GL_TEXTURE_BINDING_CUBE_MAP), static_cast<GLint>(light.shadow_map));
    light.unbind_shadow_map();
    EXPECT_EQ(get_int(GL_TEXTURE_BINDING_CUBE_MAP), 0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_CUBE_MAP));
    EXPECT_NO_GL_ERROR();
}

}  // namespace
