#include "util/texture/texture.h"

#include <cstdlib>
#include <utility>

#include "support/gl_context.h"
#include "support/test_support.h"
#include "util/gl_draw_helpers.h"

namespace {

using gl_draw_helpers::pixel;

class TextureTest : public test_support::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glActiveTexture(GL_TEXTURE0);
        glClearColor(0, 0, 0, 0);
    }
};

GLint parameter(const Texture& texture, GLenum name) {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(texture.get_target(), texture.get_id());
    GLint value = 0;
    glGetTexParameteriv(texture.get_target(), name, &value);
    return value;
}

GLint level_parameter(const Texture& texture, GLenum name) {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(texture.get_target(), texture.get_id());
    GLint value = 0;
    glGetTexLevelParameteriv(texture.get_target(), 0, name, &value);
    return value;
}

TEST_F(TextureTest, EmptyRenderTargetTextures) {
    Texture plain;
    plain.create_empty(8, 4, false, false, GL_RGBA8);
    EXPECT_NO_GL_ERROR();
    EXPECT_NE(plain.get_id(), 0u);
    EXPECT_EQ(plain.get_target(), static_cast<GLenum>(GL_TEXTURE_2D));
    EXPECT_EQ(parameter(plain, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(parameter(plain, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(parameter(plain, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(parameter(plain, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(level_parameter(plain, GL_TEXTURE_WIDTH), 8);
    EXPECT_EQ(level_parameter(plain, GL_TEXTURE_HEIGHT), 4);
    EXPECT_EQ(level_parameter(plain, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA8);

    Texture mipmapped;
    mipmapped.create_empty(8, 8, true, true, GL_RGBA8);
    EXPECT_EQ(parameter(mipmapped, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(parameter(mipmapped, GL_TEXTURE_WRAP_S), GL_REPEAT);
    GLfloat anisotropy = 0;
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &anisotropy);
    EXPECT_EQ(anisotropy, gl_max_anisotropy());
    // Switched off for pictures drawn face-on: one sample, still trilinear,
    // and unit 0 active with nothing bound.
    mipmapped.sample_without_anisotropy();
    GLint bound = -1, active = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(bound, 0);
    EXPECT_EQ(active, GL_TEXTURE0);
    EXPECT_EQ(parameter(mipmapped, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &anisotropy);
    EXPECT_EQ(anisotropy, 1.0f);
    // One level, bilinear; a level past the smallest (1 x 1 is level 3 of
    // 8 x 8) takes the smallest, and so does every level of a picture
    // without mipmaps take its only one.
    for (const auto& [asked, level] : {std::pair{1, 1}, std::pair{3, 3}, std::pair{9, 3}, std::pair{-2, 0}}) {
        mipmapped.sample_one_level(asked);
        EXPECT_EQ(parameter(mipmapped, GL_TEXTURE_BASE_LEVEL), level) << asked;
        EXPECT_EQ(parameter(mipmapped, GL_TEXTURE_MAX_LEVEL), level) << asked;
        EXPECT_EQ(parameter(mipmapped, GL_TEXTURE_MIN_FILTER), GL_LINEAR) << asked;
    }
    plain.sample_one_level(2);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
    EXPECT_EQ(parameter(plain, GL_TEXTURE_BASE_LEVEL), 0);

    Texture multisampled;
    multisampled.create_empty_multisample(8, 8, false, false, GL_RGBA8, 4);
    EXPECT_EQ(multisampled.get_target(), static_cast<GLenum>(GL_TEXTURE_2D_MULTISAMPLE));
    EXPECT_EQ(level_parameter(multisampled, GL_TEXTURE_SAMPLES), 4);
    EXPECT_NO_GL_ERROR();
}

TEST_F(TextureTest, InternalFormatTable) {
    const struct {
        GLint requested;
        GLint reported;
    } accepted[] = {{4, GL_RGBA},           {GL_RGBA8, GL_RGBA8},
                    {GL_RGBA32F, GL_RGBA32F}, {GL_RGB16F, GL_RGB16F},
                    {GL_DEPTH_COMPONENT16, GL_DEPTH_COMPONENT16},
                    {GL_DEPTH_COMPONENT32, GL_DEPTH_COMPONENT32}};
    for (const auto& c : accepted) {
        Texture texture;
        texture.create_empty(4, 4, false, false, c.requested);
        EXPECT_NO_GL_ERROR() << c.requested;
        const GLint reported = level_parameter(texture, GL_TEXTURE_INTERNAL_FORMAT);
        // Drivers may report an unsized request by a sized equivalent.
        if (c.requested != 4) {
            EXPECT_EQ(reported, c.reported);
        }
    }
    Texture depth;
    depth.create_empty(4, 4, true, false, GL_DEPTH_COMPONENT32);
    EXPECT_EQ(parameter(depth, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(parameter(depth, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(parameter(depth, GL_TEXTURE_COMPARE_MODE), GL_NONE);

    for (GLint refused : {0, GL_RGB8}) {
        Texture texture;
        EXPECT_FATAL(texture.create_empty(4, 4, false, false, refused),
                     "Unrecognized texture format " + std::to_string(refused));
    }
    while (glGetError() != GL_NO_ERROR) {
    }
}

TEST_F(TextureTest, CreateResizeAndRelease) {
    Texture texture;
    EXPECT_FATAL(texture.resize(2, 2), "Attempted to resize a texture that is not initialized!");
    texture.create_empty(4, 4, false, false, GL_RGBA8);
    EXPECT_FATAL(texture.create(), "Attempt to create an already initialized texture!");
    texture.resize(16, 2);
    EXPECT_EQ(level_parameter(texture, GL_TEXTURE_WIDTH), 16);
    EXPECT_EQ(level_parameter(texture, GL_TEXTURE_HEIGHT), 2);
    EXPECT_FLOAT_EQ(texture.get_aspect(), 8.0f);
    const GLuint id = texture.get_id();
    texture.release();
    EXPECT_EQ(texture.get_id(), 0u);
    EXPECT_FALSE(glIsTexture(id));
    Texture none;
    EXPECT_FATAL(none.get_aspect(), "Invalid texture!");
    EXPECT_NO_GL_ERROR();
}

// A 2x2 RGBA texture filled by hand: bottom row red, green; top row blue,
// white.
void fill_corners(Texture& texture) {
    texture.create_empty(2, 2, false, false, GL_RGBA8);
    const unsigned char texels[16] = {255, 0, 0, 255, 0, 255, 0, 255,
                                      0, 0, 255, 255, 255, 255, 255, 255};
    glBindTexture(GL_TEXTURE_2D, texture.get_id());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 2, 2, GL_RGBA, GL_UNSIGNED_BYTE, texels);
}

TEST_F(TextureTest, ReadBackIsBottomRowFirst) {
    Texture texture;
    fill_corners(texture);
    unsigned char* pixels = texture.get_pixels();
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(std::vector<int>(pixels, pixels + 16),
              (std::vector<int>{255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255}));
    free(pixels);
    EXPECT_NO_GL_ERROR();
}

TEST_F(TextureTest, BindUnbindAndUnits) {
    Texture texture;
    fill_corners(texture);
    texture.bind(3);
    GLint active = 0, bound = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(active, GL_TEXTURE3);
    EXPECT_EQ(bound, static_cast<GLint>(texture.get_id()));
    Texture::unbind(3);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE0);
    glActiveTexture(GL_TEXTURE3);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
    glActiveTexture(GL_TEXTURE0);
    texture.bind_and_enable();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    glDisable(GL_TEXTURE_2D);
    EXPECT_NO_GL_ERROR();
}

// Where a texture drawn into an 8x8 target lands: the covered pixel rows and
// columns.
struct Covered {
    int x0, x1, y0, y1;  // inclusive
};

Covered covered_area() {
    auto pixels = test_support::read_pixels(0, 0, 8, 8);
    Covered c{8, -1, 8, -1};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if (pixels[(y * 8 + x) * 4 + 3] != 0) {
                c.x0 = std::min(c.x0, x);
                c.x1 = std::max(c.x1, x);
                c.y0 = std::min(c.y0, y);
                c.y1 = std::max(c.y1, y);
            }
    return c;
}

TEST_F(TextureTest, DrawAndDrawFitThroughTheDefaultShader) {
    FBO target(8, 8, FBO_TYPE_RGBA8, 0);
    Texture texture;
    fill_corners(texture);
    target.push(true);
    Texture::use_default_shader();
    glEnable(GL_DEPTH_TEST);
    texture.draw(0, 0, 1, 1);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(pixel(1, 1), (std::vector<int>{255, 0, 0, 255}));
    EXPECT_EQ(pixel(6, 6), (std::vector<int>{255, 255, 255, 255}));

    // 2:1 into the square: full width, centred vertically.
    Texture wide;
    wide.create_empty(4, 2, false, false, GL_RGBA8);
    glBindTexture(GL_TEXTURE_2D, wide.get_id());
    std::vector<unsigned char> white(4 * 2 * 4, 255);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 4, 2, GL_RGBA, GL_UNSIGNED_BYTE, white.data());
    glClear(GL_COLOR_BUFFER_BIT);
    wide.draw_fit(0, 0, 1, 1, 1);
    Covered c = covered_area();
    EXPECT_EQ(c.x0, 0);
    EXPECT_EQ(c.x1, 7);
    EXPECT_EQ(c.y0, 2);
    EXPECT_EQ(c.y1, 5);

    // 1:2: full height, centred horizontally.
    Texture tall;
    tall.create_empty(2, 4, false, false, GL_RGBA8);
    glBindTexture(GL_TEXTURE_2D, tall.get_id());
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 2, 4, GL_RGBA, GL_UNSIGNED_BYTE, white.data());
    glClear(GL_COLOR_BUFFER_BIT);
    tall.draw_fit(0, 0, 1, 1, 1);
    c = covered_area();
    EXPECT_EQ(c.x0, 2);
    EXPECT_EQ(c.x1, 5);
    EXPECT_EQ(c.y0, 0);
    EXPECT_EQ(c.y1, 7);
    target.pop();
    EXPECT_NO_GL_ERROR();
}

}  // namespace
