#include "util/fbo/fbo.h"

#include <memory>

#include "support/gl_context.h"
#include "support/test_support.h"
#include "util/easydraw/easydraw.h"
#include "util/easydraw/easydrawcustom.h"
#include "util/gl_draw_helpers.h"

namespace {

using gl_draw_helpers::pixel;

class FboTest : public test_support::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, 256, 256);
        glDrawBuffer(GL_BACK);
        glReadBuffer(GL_BACK);
        glClearColor(0, 0, 0, 0);
    }
};

GLint get_int(GLenum what) {
    GLint value = -1;
    glGetIntegerv(what, &value);
    return value;
}

std::vector<GLint> viewport() {
    GLint v[4];
    glGetIntegerv(GL_VIEWPORT, v);
    return {v[0], v[1], v[2], v[3]};
}

GLint attachment_type(GLenum attachment) {
    GLint type = -1;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, attachment,
                                          GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &type);
    return type;
}

TEST_F(FboTest, EveryTypeIsCompleteSingleAndMultisampled) {
    const struct {
        int type;
        int colour_textures;
        bool depth_texture;
        GLint depth_attachment;
    } types[] = {{FBO_TYPE_RGBA8_MIPMAP, 1, false, GL_RENDERBUFFER},
                 {FBO_TYPE_3X_RGBA32F, 3, false, GL_RENDERBUFFER},
                 {FBO_TYPE_RGBA32F, 1, false, GL_RENDERBUFFER},
                 {FBO_TYPE_DEPTH_TEXTURE, 1, true, GL_TEXTURE},
                 {FBO_TYPE_RGBA8, 1, false, GL_RENDERBUFFER},
                 {FBO_TYPE_RGBA8_NO_DEPTH, 1, false, GL_NONE}};
    for (const auto& t : types) {
        for (int samples : {0, 1, 4}) {
            SCOPED_TRACE(::testing::Message() << "type " << t.type << " samples " << samples);
            FBO target(16, 8, t.type, samples);
            EXPECT_NO_GL_ERROR();
            EXPECT_EQ(get_int(GL_FRAMEBUFFER_BINDING), 0);
            const GLenum texture_target = samples > 1 ? GL_TEXTURE_2D_MULTISAMPLE : GL_TEXTURE_2D;
            for (int i = 0; i < t.colour_textures; ++i) {
                ASSERT_NE(target.get_texture(i), nullptr);
                EXPECT_EQ(target.get_texture(i)->get_target(), texture_target);
            }
            EXPECT_EQ(target.get_texture(t.colour_textures), nullptr);

            target.push(true);
            EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER),
                      static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
            EXPECT_EQ(get_int(GL_SAMPLES), samples > 1 ? 4 : 0);
            EXPECT_EQ(attachment_type(GL_DEPTH_ATTACHMENT), t.depth_attachment);
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(get_int(GL_DRAW_BUFFER0 + i),
                          i < t.colour_textures ? GL_COLOR_ATTACHMENT0 + i : GL_NONE);
            EXPECT_EQ(viewport(), (std::vector<GLint>{0, 0, 16, 8}));
            target.pop();
            EXPECT_NO_GL_ERROR();
            if (t.depth_texture)
                target.bind_depth_texture(1);
            else
                EXPECT_FATAL(target.bind_depth_texture(1), "No depth texture is created!");
            glActiveTexture(GL_TEXTURE0);
            EXPECT_NO_GL_ERROR();
        }
    }
}

TEST_F(FboTest, NestedPushPopRestoresTargetDrawBuffersAndViewport) {
    // The outer target draws to three attachments, the inner one to one.
    FBO outer(16, 16, FBO_TYPE_3X_RGBA32F, 0);
    FBO inner(8, 4, FBO_TYPE_RGBA8, 0);
    glViewport(3, 5, 200, 100);

    outer.push(true);
    EXPECT_EQ(get_int(GL_FRAMEBUFFER_BINDING), static_cast<GLint>(outer.get_id()));
    inner.push(true);
    EXPECT_EQ(get_int(GL_FRAMEBUFFER_BINDING), static_cast<GLint>(inner.get_id()));
    EXPECT_EQ(viewport(), (std::vector<GLint>{0, 0, 8, 4}));
    EXPECT_EQ(get_int(GL_DRAW_BUFFER1), GL_NONE);
    inner.pop();

    EXPECT_EQ(get_int(GL_FRAMEBUFFER_BINDING), static_cast<GLint>(outer.get_id()));
    EXPECT_EQ(viewport(), (std::vector<GLint>{0, 0, 16, 16}));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(get_int(GL_DRAW_BUFFER0 + i), GL_COLOR_ATTACHMENT0 + i);
    outer.pop();

    EXPECT_EQ(get_int(GL_FRAMEBUFFER_BINDING), 0);
    EXPECT_EQ(viewport(), (std::vector<GLint>{3, 5, 200, 100}));
    EXPECT_EQ(get_int(GL_DRAW_BUFFER0), GL_BACK);
    EXPECT_EQ(get_int(GL_READ_BUFFER), GL_BACK);
    EXPECT_NO_GL_ERROR();
}

TEST_F(FboTest, UnpairedPushAndPopEndTheRun) {
    FBO target(4, 4, FBO_TYPE_RGBA8, 0);
    EXPECT_FATAL(target.pop(), "Failed assert fbo_pushed >= 0");
    EXPECT_EQ(get_int(GL_FRAMEBUFFER_BINDING), 0);
    target.push(false);
    EXPECT_FATAL(target.push(false), "Failed assert fbo_pushed < 0");
    target.pop();
    EXPECT_EQ(get_int(GL_FRAMEBUFFER_BINDING), 0);
    EXPECT_NO_GL_ERROR();
}

TEST_F(FboTest, PushWithoutClearKeepsTheContents) {
    FBO target(4, 4, FBO_TYPE_RGBA8, 0);
    glClearColor(0, 1, 0, 1);
    target.push(true);
    target.pop();
    glClearColor(1, 0, 0, 1);
    target.push(false);
    EXPECT_EQ(pixel(2, 2), (std::vector<int>{0, 255, 0, 255}));
    target.pop();
    target.push(true);
    EXPECT_EQ(pixel(2, 2), (std::vector<int>{255, 0, 0, 255}));
    target.pop();
    EXPECT_NO_GL_ERROR();
}

// White over the lower-right half of the unit square: (0,0), (1,0), (1,1).
void draw_lower_right_triangle() {
    static ShaderProgram* program = gl_draw_helpers::program_from(make_shader_color2d("TestHalf"));
    program->bind();
    program->set_uniform_matrix4fv("ProjectionMatrix", gl_draw_helpers::unit_square_projection(), 1,
                                   false);
    program->set_uniform4f("Color", 1, 1, 1, 1);
    const float corners[6] = {0, 0, 1, 0, 1, 1};
    static EasyDrawObject triangle;
    triangle.set_attribute(0, 2, 6, corners, 0);
    triangle.draw(GL_TRIANGLES);
}

TEST_F(FboTest, MultisampledTargetResolvesByBlit) {
    FBO scene(8, 8, FBO_TYPE_RGBA8, 4);
    FBO resolved(8, 8, FBO_TYPE_RGBA8, 0);
    ASSERT_EQ(scene.get_samples(), 4);
    scene.push(true);
    draw_lower_right_triangle();
    scene.pop();
    EXPECT_NO_GL_ERROR();

    resolved.push(true);
    scene.blit();
    EXPECT_NO_GL_ERROR();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, resolved.get_id());
    EXPECT_EQ(pixel(6, 1)[0], 255);  // inside
    EXPECT_EQ(pixel(1, 6)[0], 0);    // outside
    const int edge = pixel(4, 4)[0];  // the diagonal halves this pixel
    EXPECT_GE(edge, 100);
    EXPECT_LE(edge, 156);
    resolved.pop();
    EXPECT_NO_GL_ERROR();
}

TEST_F(FboTest, SampleCountsAboveTheDriverLimitAreClamped) {
    GLint max_samples = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &max_samples);
    testing::internal::CaptureStdout();
    FBO target(8, 8, FBO_TYPE_DEPTH_TEXTURE, max_samples * 4);
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(target.get_samples(), max_samples);
    EXPECT_NE(log.find("samples requested"), std::string::npos) << log;
    target.push(true);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    target.pop();
    EXPECT_NO_GL_ERROR();
}

TEST_F(FboTest, TypeTwoWritesThreeAttachments) {
    auto builder = std::make_unique<ShaderConstructor>("TestThreeOutputs", "#version 420");
    builder->add_vert_global("layout (location = 0) in vec2 Position;");
    builder->add_vert_body("\tgl_Position = vec4( Position * 2.0 - 1.0, 0.0, 1.0 );");
    builder->add_frag_global("layout (location = 0) out vec4 Out0;");
    builder->add_frag_global("layout (location = 1) out vec4 Out1;");
    builder->add_frag_global("layout (location = 2) out vec4 Out2;");
    builder->add_frag_body("\tOut0 = vec4( 1.0, 0.0, 0.0, 1.0 );");
    builder->add_frag_body("\tOut1 = vec4( 0.0, 1.0, 0.0, 1.0 );");
    builder->add_frag_body("\tOut2 = vec4( 0.0, 0.0, 1.0, 1.0 );");
    ShaderProgram* program = gl_draw_helpers::program_from(std::move(builder));

    FBO target(4, 4, FBO_TYPE_3X_RGBA32F, 0);
    target.push(true);
    program->bind();
    easydraw_quad(0, 0, 1, 1);
    EXPECT_NO_GL_ERROR();
    const std::vector<int> expected[3] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}};
    for (int i = 0; i < 3; ++i) {
        glReadBuffer(GL_COLOR_ATTACHMENT0 + i);
        EXPECT_EQ(pixel(1, 2), expected[i]) << "attachment " << i;
    }
    target.pop();
    EXPECT_NO_GL_ERROR();
}

TEST_F(FboTest, ResizeKeepsTheTextureObjects) {
    FBO target(8, 8, FBO_TYPE_DEPTH_TEXTURE, 0);
    Texture* colour = target.get_texture(0);
    const GLuint old_id = colour->get_id();
    target.resize(8, 8);
    EXPECT_EQ(colour->get_id(), old_id);  // same size: nothing rebuilt

    target.resize(20, 10);
    EXPECT_NO_GL_ERROR();
    EXPECT_EQ(target.get_texture(0), colour);
    EXPECT_EQ(colour->get_width(), 20u);
    EXPECT_EQ(colour->get_height(), 10u);
    EXPECT_EQ(get_int(GL_FRAMEBUFFER_BINDING), 0);
    target.push(true);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    EXPECT_EQ(viewport(), (std::vector<GLint>{0, 0, 20, 10}));
    target.pop();
    EXPECT_NO_GL_ERROR();
}

TEST_F(FboTest, RefusedTypesAndTextureNumbers) {
    for (int type : {0, 6, 7}) {
        EXPECT_FATAL(FBO(4, 4, type, 0), "Unrecognized FBO type");
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
    FBO target(4, 4, FBO_TYPE_RGBA8_MIPMAP, 0);
    EXPECT_EQ(target.get_texture(1), nullptr);
    EXPECT_FATAL(target.bind_texture(1, 0), "Invalid texture number");
    EXPECT_NO_GL_ERROR();
}

GLint texture_parameter(GLuint id, GLenum name) {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, id);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

TEST_F(FboTest, MultisampleTargetsLeaveOtherTexturesAlone) {
    // As the scene manager builds them: a mipmapped target, whose texture is
    // left bound, then the multisampled one.
    FBO shared(16, 16, FBO_TYPE_RGBA8_MIPMAP, 0);
    const GLuint shared_id = shared.get_texture(0)->get_id();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, shared_id);
    FBO scene(16, 16, FBO_TYPE_DEPTH_TEXTURE, 4);
    EXPECT_NO_GL_ERROR();
    EXPECT_EQ(texture_parameter(shared_id, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(texture_parameter(shared_id, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    scene.resize(32, 32);
    EXPECT_NO_GL_ERROR();
    EXPECT_EQ(texture_parameter(shared_id, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);

    // Popping the multisampled target regenerates no unrelated mipmaps: a
    // texture with its own level 1 keeps it.
    GLuint unrelated = 0;
    glGenTextures(1, &unrelated);
    glBindTexture(GL_TEXTURE_2D, unrelated);
    const unsigned char level0[16] = {10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10};
    const unsigned char level1[4] = {200, 100, 50, 25};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, level0);
    glTexImage2D(GL_TEXTURE_2D, 1, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, level1);
    scene.push(true);
    scene.pop();
    EXPECT_NO_GL_ERROR();
    unsigned char read[4] = {};
    glBindTexture(GL_TEXTURE_2D, unrelated);
    glGetTexImage(GL_TEXTURE_2D, 1, GL_RGBA, GL_UNSIGNED_BYTE, read);
    EXPECT_EQ(std::vector<int>(read, read + 4), (std::vector<int>{200, 100, 50, 25}));
    // With texture 0 bound, too.
    glBindTexture(GL_TEXTURE_2D, 0);
    scene.push(true);
    scene.pop();
    EXPECT_NO_GL_ERROR();
    glDeleteTextures(1, &unrelated);
}

// The width of level 1 of the target's colour texture: 0 while it has none.
GLint level1_width(FBO& target) {
    target.bind_texture(0, 0);
    GLint width = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &width);
    glBindTexture(GL_TEXTURE_2D, 0);
    return width;
}

TEST_F(FboTest, PopRegeneratesOnlyTheMipChainsThatExist) {
    FBO mipmapped(8, 8, FBO_TYPE_RGBA8_MIPMAP, 0);
    mipmapped.push(false);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    mipmapped.pop();
    ASSERT_EQ(level1_width(mipmapped), 4);
    mipmapped.bind_texture(0, 0);
    unsigned char level1[4 * 4 * 4] = {};
    glGetTexImage(GL_TEXTURE_2D, 1, GL_RGBA, GL_UNSIGNED_BYTE, level1);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(std::vector<int>(level1, level1 + 4), (std::vector<int>{255, 0, 0, 255}));

    // Made without a chain, sampled without one: popping builds none.
    for (int type : {FBO_TYPE_RGBA8, FBO_TYPE_RGBA8_NO_DEPTH, FBO_TYPE_DEPTH_TEXTURE}) {
        SCOPED_TRACE(type);
        FBO plain(8, 8, type, 0);
        plain.push(true);
        plain.pop();
        EXPECT_EQ(level1_width(plain), 0);
    }
    glClearColor(0, 0, 0, 0);
    EXPECT_NO_GL_ERROR();
}

TEST_F(FboTest, DrawShowsTheColourTextureOverTheUnitSquare) {
    FBO source(4, 4, FBO_TYPE_RGBA8_MIPMAP, 0);
    FBO destination(4, 4, FBO_TYPE_RGBA8, 0);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    source.push(true);
    source.pop();
    glClearColor(0, 0, 0, 0);
    destination.push(true);
    Texture::use_default_shader();
    glEnable(GL_DEPTH_TEST);
    source.draw();
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(pixel(0, 0), (std::vector<int>{0, 0, 255, 255}));
    EXPECT_EQ(pixel(3, 3), (std::vector<int>{0, 0, 255, 255}));
    destination.pop();
    EXPECT_NO_GL_ERROR();
}

}  // namespace
