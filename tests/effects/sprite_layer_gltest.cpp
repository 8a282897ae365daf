// Additive sprites through a single-sample layer of their own, added over a
// multisampled target at once: the same picture as sprites drawn straight
// into the target, where the layer pays; nothing at all where it does not;
// the target, viewport and blending as they were; and what the scene draws
// after the sprites over them.
#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "effects/particles.h"
#include "effects/sprite_layer.h"
#include "support/gl_context.h"
#include "support/gl_frame.h"
#include "support/test_support.h"
#include "util/data/data.h"
#include "util/fbo/fbo.h"

namespace {

using Effects::SpriteLayer;
using test_support::Frame;

class SpriteLayerTest : public test_support::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        DataFile::set_mode(DataFileMode::Plain);
        test_support::ScopedChdir in(test_support::source_path(""));
        Effects::load_sprite(sprite, Effects::kDefaultParticleTexture);
    }

    // The fixed-function pipeline, drawing in pixels of a w x h target
    // without the depth test.
    static void draw_in_pixels(int w, int h) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, w, 0, h, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glUseProgram(0);
        glDisable(GL_DEPTH_TEST);
    }

    // Sprites of the shipped picture from 4 to 60 pixels wide in three
    // colours, overlapping in a heap in the middle until they burn out,
    // added (source alpha, one) with the fixed-function pipeline.
    void draw_sprites(int w, int h) {
        draw_in_pixels(w, h);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        sprite.bind_and_enable();
        glBegin(GL_QUADS);
        int n = 0;
        for (float size = 4.0f; size <= 60.0f; size *= 1.07f, ++n) {
            const float x = std::fmod(37.3f * n, static_cast<float>(w - 64)) + 0.37f;
            const float y = std::fmod(23.9f * n, static_cast<float>(h - 64)) + 0.61f;
            quad(x, y, size, n % 3);
            quad(w / 2.0f + std::fmod(3.1f * n, 20.0f), h / 2.0f + std::fmod(1.7f * n, 20.0f), 24.0f, n % 3);
        }
        glEnd();
        glDisable(GL_TEXTURE_2D);
    }

    static void quad(float x, float y, float size, int colour) {
        glColor4f(colour == 0 ? 1.0f : 0.3f, colour == 1 ? 1.0f : 0.4f, colour == 2 ? 1.0f : 0.2f, 0.7f);
        glTexCoord2f(0, 0), glVertex2f(x, y);
        glTexCoord2f(1, 0), glVertex2f(x + size, y);
        glTexCoord2f(1, 1), glVertex2f(x + size, y + size);
        glTexCoord2f(0, 1), glVertex2f(x, y + size);
    }

    // `target` resolved and read back.
    static Frame resolved(FBO& target) {
        FBO plain(target.get_width(), target.get_height(), FBO_TYPE_RGBA8_NO_DEPTH, 0);
        plain.push(false);
        target.blit();
        glBindFramebuffer(GL_READ_FRAMEBUFFER, plain.get_id());
        Frame frame(target.get_width(), target.get_height());
        plain.pop();
        return frame;
    }

    // The largest difference of a colour channel between two frames.
    static int largest_difference(const Frame& a, const Frame& b) {
        int largest = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) {
                const test_support::Rgba p = a.at(x, y), q = b.at(x, y);
                largest = std::max({largest, std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)});
            }
        return largest;
    }

    // A grey multisampled target of w x h with the sprites through `layer`,
    // drawn `times` times over (each time through begin and end, the
    // sprites the last thing drawn).
    void draw_layered(FBO& target, SpriteLayer& layer, int times) {
        target.push(false);
        glClearColor(0.3f, 0.3f, 0.3f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearColor(0, 0, 0, 0);
        for (int i = 0; i < times; ++i) {
            ASSERT_TRUE(layer.begin());
            draw_sprites(target.get_width(), target.get_height());
            layer.end(SpriteLayer::Order::last_in_scene);
        }
        target.pop();
    }

    // A plain square from (x0, y0) to (x1, y1) in pixels of a w x h target,
    // drawn with the fixed-function pipeline in the blending as set.
    static void square(int w, int h, int x0, int y0, int x1, int y1, float r, float g, float b) {
        draw_in_pixels(w, h);
        glDisable(GL_TEXTURE_2D);
        glColor4f(r, g, b, 1.0f);
        glRecti(x0, y0, x1, y1);
    }

    Texture sprite;
};

TEST_F(SpriteLayerTest, OverAMultisampledTargetTheLayerAddsTheSamePictureAndLeavesTheStateAsItWas) {
    const int w = 800, h = 600;
    FBO straight(w, h, FBO_TYPE_RGBA8, 4), layered(w, h, FBO_TYPE_RGBA8, 4);
    for (FBO* target : {&straight, &layered}) {
        SpriteLayer layer;  // made, like every target, with frame buffer 0 bound
        target->push(false);
        // Grey, so that the sums clamp on something.
        glClearColor(0.3f, 0.3f, 0.3f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        const bool in_use = target == &layered && layer.begin();
        draw_sprites(w, h);
        if (in_use) {
            layer.end();
            GLint bound = 0, viewport[4] = {}, src = 0, dst = 0;
            GLfloat clear[4] = {};
            glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
            glGetIntegerv(GL_VIEWPORT, viewport);
            glGetIntegerv(GL_BLEND_SRC_RGB, &src);
            glGetIntegerv(GL_BLEND_DST_RGB, &dst);
            glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
            EXPECT_EQ(static_cast<GLuint>(bound), layered.get_id());
            EXPECT_EQ(viewport[2], w);
            EXPECT_EQ(viewport[3], h);
            EXPECT_EQ(src, GL_SRC_ALPHA);
            EXPECT_EQ(dst, GL_ONE);
            EXPECT_FLOAT_EQ(clear[0], 0.3f);
        }
        EXPECT_EQ(in_use, target == &layered);
        EXPECT_NO_GL_ERROR();
        target->pop();
    }
    glDisable(GL_BLEND);
    glClearColor(0, 0, 0, 0);
    const Frame a = resolved(straight), b = resolved(layered);
    a.keep("sprites-straight");
    b.keep("sprites-layered");
    int largest = 0, white = 0;
    double total = 0.0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const test_support::Rgba p = a.at(x, y), q = b.at(x, y);
            const int d = std::max({std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)});
            largest = std::max(largest, d);
            total += d;
            white += q.r == 255 && q.g == 255 && q.b == 255;
        }
    EXPECT_GT(white, 100) << "the heap burns out";
    EXPECT_LT(total / (w * h), 0.05) << "mean difference in levels";
    EXPECT_LE(largest, 8);
}

TEST_F(SpriteLayerTest, OverTheDeferredTargetTheLayerWaitsToBeAddedToTheResolvedPicture) {
    const int w = 800, h = 600;
    FBO at_once(w, h, FBO_TYPE_RGBA8, 4), deferred(w, h, FBO_TYPE_RGBA8, 4);
    SpriteLayer layer;
    // Over a target not named, the layer is added at its end.
    SpriteLayer::defer_over(deferred.get_id());
    draw_layered(at_once, layer, 2);
    const Frame twice = resolved(at_once);

    // Over the named one it waits; drawn twice, the first picture is added
    // to the target before the second begins.
    draw_layered(deferred, layer, 2);
    SpriteLayer::defer_over(0);
    const Frame first = resolved(deferred);
    EXPECT_GT(first.at(w / 2 + 20, h / 2 + 20).brightest(), 200) << "the first drawing";
    EXPECT_GT(largest_difference(first, twice), 50) << "the second still waits";

    FBO picture(w, h, FBO_TYPE_RGBA8_NO_DEPTH, 0);
    picture.push(false);
    deferred.blit();
    glEnable(GL_SCISSOR_TEST);
    glScissor(1, 2, 3, 4);
    SpriteLayer::add_waiting();
    GLint scissor[4] = {}, viewport[4] = {};
    glGetIntegerv(GL_SCISSOR_BOX, scissor);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_EQ(scissor[3], 4);
    EXPECT_EQ(viewport[2], w);
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, picture.get_id());
    const Frame added(w, h);
    picture.pop();
    EXPECT_NO_GL_ERROR();
    added.keep("sprites-deferred");
    // Over a grey of one value a pixel nothing clamps apart: the same.
    EXPECT_LE(largest_difference(added, twice), 1);

    // Nothing waits any more.
    picture.push(false);
    glClear(GL_COLOR_BUFFER_BIT);
    SpriteLayer::add_waiting();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, picture.get_id());
    EXPECT_EQ(Frame(w, h).at(w / 2 + 20, h / 2 + 20).brightest(), 0);
    picture.pop();
}

TEST_F(SpriteLayerTest, WhatTheSceneDrawsAfterTheSpritesLiesOverThemUnlessTheSpritesComeLast) {
    // As the frame loop draws a scene: into the deferred target, resolved,
    // then what waits added. An additive white square through the layer,
    // then, unless the sprites are said to come last, an opaque red square
    // over its middle.
    const int w = 800, h = 640;
    const struct {
        const char* name;
        SpriteLayer::Order order;
        bool deferred;
        test_support::Rgba centre;
    } cases[] = {
        {"more drawn after, over the deferred target", SpriteLayer::Order::in_order, true, {255, 0, 0, 255}},
        {"more drawn after, over another target", SpriteLayer::Order::in_order, false, {255, 0, 0, 255}},
        {"the sprites last, over the deferred target", SpriteLayer::Order::last_in_scene, true, {255, 255, 255, 255}},
        {"the sprites last, over another target", SpriteLayer::Order::last_in_scene, false, {255, 255, 255, 255}},
    };
    for (const auto& c : cases) {
        FBO target(w, h, FBO_TYPE_RGBA8, 4);
        SpriteLayer layer;
        SpriteLayer::defer_over(c.deferred ? target.get_id() : 0);
        target.push(true);
        ASSERT_TRUE(layer.begin()) << c.name;
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        square(w, h, 200, 160, 600, 480, 1, 1, 1);
        layer.end(c.order);
        if (c.order == SpriteLayer::Order::in_order) {
            glDisable(GL_BLEND);
            square(w, h, 300, 260, 500, 380, 1, 0, 0);
        }
        target.pop();
        SpriteLayer::defer_over(0);

        FBO picture(w, h, FBO_TYPE_RGBA8_NO_DEPTH, 0);
        picture.push(true);
        target.blit();
        SpriteLayer::add_waiting();
        glBindFramebuffer(GL_READ_FRAMEBUFFER, picture.get_id());
        const Frame frame(w, h);
        picture.pop();
        EXPECT_NO_GL_ERROR();
        const test_support::Rgba centre = frame.at(w / 2, h / 2), edge = frame.at(250, 200),
                                 outside = frame.at(100, 100);
        EXPECT_EQ(centre.r, c.centre.r) << c.name;
        EXPECT_EQ(centre.g, c.centre.g) << c.name;
        EXPECT_EQ(centre.b, c.centre.b) << c.name;
        EXPECT_EQ(std::min({edge.r, edge.g, edge.b}), 255) << c.name << ": the white square around the red one";
        EXPECT_EQ(outside.brightest(), 0) << c.name;
    }
    glDisable(GL_BLEND);
}

TEST_F(SpriteLayerTest, DoesNothingOverASingleSampleOrSmallTarget) {
    const struct {
        const char* name;
        int w, h, samples;
    } cases[] = {
        {"single-sample", 800, 600, 0},
        {"multisampled, fewer rows than the least", 1280, SpriteLayer::kMinLayerRows - 1, 4},
    };
    for (const auto& c : cases) {
        FBO target(c.w, c.h, FBO_TYPE_RGBA8, c.samples);
        SpriteLayer layer;
        target.push(true);
        EXPECT_FALSE(layer.begin()) << c.name;
        GLint bound = 0;
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), target.get_id()) << c.name;
        layer.end();
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), target.get_id()) << c.name;
        EXPECT_NO_GL_ERROR();
        target.pop();
    }
}

}  // namespace
