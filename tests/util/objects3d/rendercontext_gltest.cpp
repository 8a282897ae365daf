// What apply hands to the program it binds, read back from the GL.
#include <memory>

#include "util/camera/camera.h"
#include "util/objects3d/light.h"
#include "util/objects3d/material.h"
#include "util/objects3d/rendercontext.h"
#include "util/shaderprogram/shaderprogram.h"
#include "util/texture/texture.h"
#include "util/objects3d/objects3d_fixture.h"

namespace {

class RenderContextGlTest : public objects3d_test::Objects3DGlTest {
protected:
    void SetUp() override {
        Objects3DGlTest::SetUp();
        camera.look_at(0, 2, 10, 0, 0, 0, 0, 1, 0);
        camera.setup(64, 64, 1.0f, 1.0f);
        texture_a.create_empty(4, 4, false, false, GL_RGBA8);
        texture_b.create_empty(4, 4, false, false, GL_RGBA8);
    }

    GLuint bound_program() {
        GLint p = 0;
        glGetIntegerv(GL_CURRENT_PROGRAM, &p);
        return static_cast<GLuint>(p);
    }
    std::vector<float> uniform(const char* name, int floats) {
        std::vector<float> v(floats, -99.0f);
        const GLint loc = glGetUniformLocation(bound_program(), name);
        EXPECT_GE(loc, 0) << name;
        if (loc >= 0) glGetUniformfv(bound_program(), loc, v.data());
        return v;
    }
    bool declared(const char* name) { return glGetUniformLocation(bound_program(), name) >= 0; }
    GLint sampler(const char* name) {
        GLint unit = -1;
        const GLint loc = glGetUniformLocation(bound_program(), name);
        EXPECT_GE(loc, 0) << name;
        if (loc >= 0) glGetUniformiv(bound_program(), loc, &unit);
        return unit;
    }
    GLint texture_on(int unit, GLenum binding) {
        glActiveTexture(GL_TEXTURE0 + unit);
        GLint id = 0;
        glGetIntegerv(binding, &id);
        glActiveTexture(GL_TEXTURE0);
        return id;
    }

    Camera camera;
    Texture texture_a, texture_b;
    std::vector<mat4> one{mat4()};
};

std::vector<float> eye_point(const Camera& camera, const vec3& world) {
    vec3 p = world;
    camera.get_view_matrix().transform_point(p);
    return {p.x, p.y, p.z};
}

std::vector<float> floats(const mat4& m) { return std::vector<float>(m.data(), m.data() + 16); }

void expect_floats(const std::vector<float>& actual, const std::vector<float>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-5f) << i;
}

TEST_F(RenderContextGlTest, PlainPassWithTwoLightsUploadsEyeSpaceArrays) {
    RenderContext context;
    Light a, b;
    a.set_position(1, 2, 3);
    b.set_position(-4, 5, 6);
    b.set_diffuse(0.5f, 0.25f, 0.125f, 1.0f);
    b.set_attenuation_from_range(100.0f);
    context.set_lights({&a, &b});
    Material m(5);
    m.color_offset = vec4(0.1f, 0.1f, 0.1f, 0.0f);
    m.shininess = 7.0f;
    m.emission_map = &texture_a;
    m.diffuse_map = &texture_b;
    context.apply(DRAW_MODE_NORMAL, true, one, &m, &camera);
    EXPECT_NO_GL_ERROR();

    expect_floats(uniform("LightPosition[0]", 3), eye_point(camera, vec3(1, 2, 3)));
    expect_floats(uniform("LightPosition[1]", 3), eye_point(camera, vec3(-4, 5, 6)));
    expect_floats(uniform("LightDiffuse[1]", 4), {0.5f, 0.25f, 0.125f, 1.0f});
    expect_floats(uniform("LightAttenuation[1]", 3), {1.0f, 0.002f, 0.0f});
    // The offset is added and not clamped.
    expect_floats(uniform("MaterialDiffuse", 4), {1.09f, 1.05f, 1.0f, 1.0f});
    expect_floats(uniform("MaterialAmbient", 4), {0.6f, 0.57f, 0.54f, 1.0f});
    expect_floats(uniform("MaterialShininess", 1), {7.0f});
    expect_floats(uniform("GlobalAmbient", 4), {0.2f, 0.2f, 0.2f, 1.0f});
    expect_floats(uniform("ModelViewMatrix", 16), floats(mat4()));
    const mat4 projection = camera.get_projection_matrix();
    expect_floats(uniform("ProjectionMatrix", 16), floats(projection));
    // Plain pass: the emission map takes unit 0, the diffuse map unit 1.
    EXPECT_EQ(sampler("EmissionMap"), 0);
    EXPECT_EQ(sampler("DiffuseMap"), 1);
    EXPECT_EQ(texture_on(0, GL_TEXTURE_BINDING_2D), static_cast<GLint>(texture_a.get_id()));
    EXPECT_EQ(texture_on(1, GL_TEXTURE_BINDING_2D), static_cast<GLint>(texture_b.get_id()));
}

TEST_F(RenderContextGlTest, LitPassHasTheShadowMapOnUnitZeroAndTheDiffuseMapOnOne) {
    RenderContext context;
    Light light;
    light.set_position(3, 4, 5);
    context.set_light(&light);
    context.set_shadow_pass(true);
    Material m;
    m.diffuse_map = &texture_a;
    context.apply(DRAW_MODE_SHADOW_LIGHTING, true, one, &m, &camera);
    EXPECT_NO_GL_ERROR();
    EXPECT_EQ(sampler("ShadowMap"), 0);
    EXPECT_EQ(sampler("DiffuseMap"), 1);
    EXPECT_EQ(texture_on(1, GL_TEXTURE_BINDING_2D), static_cast<GLint>(texture_a.get_id()));
    // One light: plain values, not arrays.
    expect_floats(uniform("LightPosition", 3), eye_point(camera, vec3(3, 4, 5)));
    const mat4 inverse = camera.get_inverse_view(), light_view = light.get_view_matrix(),
               light_projection = light.get_shadow_projection();
    expect_floats(uniform("camera_view_matrix_inv", 16), floats(inverse));
    expect_floats(uniform("light_view_matrix", 16), floats(light_view));
    expect_floats(uniform("light_projection_matrix", 16),
                  floats(light_projection));
    EXPECT_FALSE(declared("GlobalAmbient"));  // the lit pass adds light only

    context.set_shadow_pass(false);
    context.set_lights({&light, &light});
    EXPECT_FATAL(context.apply(DRAW_MODE_SHADOW_DEPTHWRITE, false, one, &m, &camera),
                 "Failed assert 1 == lights.size()");
}

TEST_F(RenderContextGlTest, DepthPassProjectsWithTheLightAndNeedsOneLight) {
    RenderContext context;
    Material m;
    EXPECT_FATAL(context.apply(DRAW_MODE_SHADOW_DEPTHWRITE, false, one, &m, &camera),
                 "Failed assert 1 == lights.size()");
    Light light;
    light.set_shadow_clip(0.5f, 40.0f);
    context.set_light(&light);
    context.apply(DRAW_MODE_SHADOW_DEPTHWRITE, false, one, &m, &camera);
    const mat4 p = light.get_shadow_projection();
    expect_floats(uniform("ProjectionMatrix", 16), floats(p));
    EXPECT_NO_GL_ERROR();
}

TEST_F(RenderContextGlTest, TransparentMaterialsDrawWithoutDepthWrites) {
    RenderContext context;
    struct Case {
        float alpha;
        GLboolean writes;
    };
    for (Case c : {Case{0.98f, GL_FALSE}, Case{0.99f, GL_TRUE}, Case{1.0f, GL_TRUE}, Case{0.5f, GL_FALSE}}) {
        Material m;
        m.diffuse.a = c.alpha;
        for (int mode : {DRAW_MODE_NORMAL, DRAW_MODE_SHADOW_AMBIENT}) {
            glDepthMask(!c.writes);
            context.apply(mode, false, one, &m, &camera);
            GLboolean mask = 2;
            glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
            EXPECT_EQ(mask, c.writes) << "alpha " << c.alpha << " mode " << mode;
        }
    }
    glDepthMask(GL_TRUE);
    EXPECT_NO_GL_ERROR();
}

TEST_F(RenderContextGlTest, CacheKeepsInstancedAndSingleDrawsApart) {
    RenderContext context;
    Material m;
    context.apply(DRAW_MODE_NORMAL, false, one, &m, &camera);
    const GLuint single = bound_program();
    EXPECT_TRUE(declared("ModelViewMatrix"));  // a uniform
    context.apply(DRAW_MODE_NORMAL, false, std::vector<mat4>(64), &m, &camera);
    const GLuint instanced = bound_program();
    EXPECT_FALSE(declared("ModelViewMatrix"));  // an attribute
    EXPECT_NE(single, instanced);
    EXPECT_EQ(context.program_cache.size(), 2u);
    const uint32_t key = context.get_shader_key(DRAW_MODE_NORMAL, 0, false, &m);
    EXPECT_EQ(context.cached_program(key, false)->get_program(), single);
    EXPECT_EQ(context.cached_program(key, true)->get_program(), instanced);
    // The same draws again find their programs.
    context.apply(DRAW_MODE_NORMAL, false, one, &m, &camera);
    EXPECT_EQ(bound_program(), single);
    EXPECT_EQ(context.program_cache.size(), 2u);
    // Mode 1 without lights sets no light uniforms.
    context.apply(DRAW_MODE_SHADOW_AMBIENT, false, one, &m, &camera);
    EXPECT_FALSE(declared("LightPosition"));
    EXPECT_EQ(context.program_cache.size(), 3u);
    EXPECT_NO_GL_ERROR();
}

}  // namespace
