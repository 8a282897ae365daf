// The particle cloud drawn: squares that face the camera whatever its turn,
// additive blending, the state render leaves, its place among what the
// scene draws, and the 10000-particle cloud of the Geysirs scene with the
// shipped sprite.
#include <GL/glew.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <vector>

#include "effects/particles.h"
#include "support/gl_context.h"
#include "support/gl_frame.h"
#include "support/test_support.h"
#include "util/data/data.h"
#include "util/fbo/fbo.h"
#include "util/shaderprogram/shaderconstructor.h"
#include "util/shaderprogram/shaderprogram.h"
#include "util/texture/picture_files.h"

namespace {

using Effects::Particles;
using Effects::ParticleSettings;

using test_support::Frame;
using test_support::Rgba;

struct Box {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;  // inclusive; x1 < 0 when empty
    int lit = 0;
};

// The bounds and count of the pixels with a channel of 8 or more.
Box lit_box(const Frame& frame) {
    Box box;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            if (frame.at(x, y).brightest() < 8) continue;
            ++box.lit;
            box.x0 = std::min(box.x0, x);
            box.y0 = std::min(box.y0, y);
            box.x1 = std::max(box.x1, x);
            box.y1 = std::max(box.y1, y);
        }
    return box;
}

void expect_colour_near(const Rgba& got, const std::vector<int>& want, const std::string& what) {
    EXPECT_NEAR(got.r, want[0], 2) << what << " red";
    EXPECT_NEAR(got.g, want[1], 2) << what << " green";
    EXPECT_NEAR(got.b, want[2], 2) << what << " blue";
}

// A 45-degree perspective camera for a w x h target at `eye`, looking at
// `at` with y up.
void look_through_perspective(int w, int h, const vec3& eye, const vec3& at) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(w) / h, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eye.x, eye.y, eye.z, at.x, at.y, at.z, 0, 1, 0);
}

class ParticlesGlTest : public test_support::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        DataFile::set_mode(DataFileMode::Plain);
        std::filesystem::create_directories(dir.file("data"));
        picture_files::write_png(dir.file("data/white.png"), picture_files::solid(8, 8, 255, 255, 255));
        picture_files::Picture half = picture_files::solid(8, 8, 255, 255, 255);
        for (size_t i = 3; i < half.rgba.size(); i += 4) half.rgba[i] = 128;
        picture_files::write_png(dir.file("data/half.png"), half);
        // White, its alpha a cone around (44, 20) from the top left of 64 x 64
        // that falls to 0 before the edges.
        picture_files::Picture off_centre = picture_files::solid(64, 64, 255, 255, 255);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const float d = std::hypot(x - 44.0f, y - 20.0f);
                off_centre.rgba[(y * 64 + x) * 4 + 3] = static_cast<uint8_t>(255 * std::max(0.0f, 1 - d / 18));
            }
        picture_files::write_png(dir.file("data/off-centre.png"), off_centre);
    }

    // The cloud drawn into a 64 x 64 target cleared to `background`, seen
    // through glOrtho(-1, 1, -1, 1) and the modelview `view`.
    Frame draw(Particles& cloud, const mat4& view, float background = 0.0f) {
        FBO target(64, 64, FBO_TYPE_RGBA8, 0);
        target.push(false);
        glClearColor(background, background, background, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-1, 1, -1, 1, -10, 10);
        glMatrixMode(GL_MODELVIEW);
        glLoadMatrixf(view.data());
        cloud.render(0.0f);
        EXPECT_NO_GL_ERROR();
        Frame frame(64, 64);
        target.pop();
        glLoadIdentity();
        glUseProgram(0);
        glDisable(GL_BLEND);
        return frame;
    }

    // One particle per point, drawn where the points are.
    static void place(Particles& cloud, const std::vector<vec3>& points) {
        for (size_t i = 0; i < points.size(); ++i) cloud.get_morph().get_particles()[i].current = points[i];
    }

    test_support::TempDir dir;
};

TEST_F(ParticlesGlTest, SquaresFaceTheCameraAndAreSizeWideWhateverItsTurn) {
    test_support::ScopedChdir in(dir.path());
    Particles cloud(ParticleSettings{vec3(0.25f, 0.5f, 0.125f), 1}, "data/white.png");
    cloud.size = 1.0f;  // half the view: 32 pixels
    place(cloud, {vec3(0, 0, 0)});

    const struct {
        const char* name;
        float degrees, ax, ay, az;
        float shift;  // of the whole view along x, in view units
    } cases[] = {
        {"looking straight on", 0, 0, 0, 1, 0},
        {"turned 60 degrees about y", 60, 0, 1, 0, 0},
        {"turned 100 degrees about x", 100, 1, 0, 0, 0},
        {"turned 40 degrees about a slanted axis, moved right", 40, 1, 1, 0.5f, 0.25f},
    };
    for (const auto& c : cases) {
        mat4 view;
        view.translate(c.shift, 0, 0);
        view.rotate(c.degrees, c.ax, c.ay, c.az);
        const Frame frame = draw(cloud, view);
        const Box box = lit_box(frame);
        const int dx = static_cast<int>(c.shift * 32);
        EXPECT_EQ(box.x0, 16 + dx) << c.name;
        EXPECT_EQ(box.x1, 47 + dx) << c.name;
        EXPECT_EQ(box.y0, 16) << c.name;
        EXPECT_EQ(box.y1, 47) << c.name;
        EXPECT_EQ(box.lit, 32 * 32) << c.name;
        expect_colour_near(frame.at(32 + dx, 32), {64, 128, 32}, c.name);
    }
}

TEST_F(ParticlesGlTest, OverlappingParticlesAddTheirColourWeightedByTheSpriteAlpha) {
    test_support::ScopedChdir in(dir.path());
    Particles opaque(ParticleSettings{vec3(0.2f, 0.3f, 0.1f), 2}, "data/white.png");
    opaque.size = 0.5f;
    // Two squares overlapping on x from -0.125 to 0.125 (pixels 28..35).
    place(opaque, {vec3(-0.125f, 0, 0), vec3(0.125f, 0, 0)});
    Frame frame = draw(opaque, mat4());
    expect_colour_near(frame.at(20, 32), {51, 77, 26}, "one square");
    expect_colour_near(frame.at(32, 32), {102, 153, 51}, "both squares");
    expect_colour_near(frame.at(40, 32), {51, 77, 26}, "the other square");

    // Added onto what is there already, and weighted by the sprite's alpha.
    Particles half(ParticleSettings{vec3(0.4f, 0.6f, 0.2f), 1}, "data/half.png");
    half.size = 0.5f;
    place(half, {vec3(0, 0, 0)});
    frame = draw(half, mat4(), 0.2f);
    expect_colour_near(frame.at(32, 32), {51 + 51, 51 + 77, 51 + 26}, "half-alpha square on grey");
    expect_colour_near(frame.at(4, 4), {51, 51, 51}, "grey outside");
}

TEST_F(ParticlesGlTest, RenderLeavesAdditiveBlendingAndTheDepthTestAsAsked) {
    test_support::ScopedChdir in(dir.path());
    Particles cloud(ParticleSettings{vec3(1, 1, 1), 3}, "data/white.png");
    cloud.add_shape(0.5f, true);
    cloud.update(0.0f, 3);
    glEnable(GL_DEPTH_TEST);
    draw(cloud, mat4());
    // draw() switches blending off again after render; look inside instead.
    FBO target(8, 8, FBO_TYPE_RGBA8, 0);
    target.push(true);
    for (bool sort : {false, true}) {
        cloud.depth_sort = sort;
        cloud.render(0.0f);
        EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), sort ? GL_TRUE : GL_FALSE) << sort;
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        GLint src = 0, dst = 0, vao = -1, buffer = -1;
        glGetIntegerv(GL_BLEND_SRC_RGB, &src);
        glGetIntegerv(GL_BLEND_DST_RGB, &dst);
        glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vao);
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &buffer);
        EXPECT_EQ(src, GL_SRC_ALPHA);
        EXPECT_EQ(dst, GL_ONE);
        EXPECT_EQ(vao, 0);
        EXPECT_EQ(buffer, 0);
        EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
        EXPECT_NO_GL_ERROR();
    }
    target.pop();
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glUseProgram(0);
}

TEST_F(ParticlesGlTest, ACloudDrawnBeforeMoreLiesUnderItAndOneDrawnLastWaitsForTheResolve) {
    // As the frame loop draws a scene into its multisampled target: a
    // white square of half the view, then, unless the cloud is the scene's
    // last drawing, an opaque red square over its middle; then the resolve
    // and what waits for it.
    test_support::ScopedChdir in(dir.path());
    const int w = 800, h = 640;
    for (const auto order : {Effects::SpriteLayer::Order::in_order, Effects::SpriteLayer::Order::last_in_scene}) {
        const bool last = order == Effects::SpriteLayer::Order::last_in_scene;
        Particles cloud(ParticleSettings{vec3(1, 1, 1), 1}, "data/white.png");
        cloud.size = 1.0f;
        if (last) cloud.sprite_order = order;
        place(cloud, {vec3(0, 0, 0)});
        FBO target(w, h, FBO_TYPE_RGBA8, 4), picture(w, h, FBO_TYPE_RGBA8_NO_DEPTH, 0);
        Effects::SpriteLayer::defer_over(target.get_id());
        target.push(true);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-1, 1, -1, 1, -10, 10);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        cloud.render(0.0f);
        if (!last) {
            glUseProgram(0);
            glDisable(GL_TEXTURE_2D);
            glDisable(GL_BLEND);
            glColor4f(1, 0, 0, 1);
            glRectf(-0.25f, -0.25f, 0.25f, 0.25f);
        }
        target.pop();
        Effects::SpriteLayer::defer_over(0);
        picture.push(true);
        target.blit();
        glBindFramebuffer(GL_READ_FRAMEBUFFER, picture.get_id());
        const Frame resolved(w, h);
        Effects::SpriteLayer::add_waiting();
        const Frame added(w, h);
        picture.pop();
        glUseProgram(0);
        glDisable(GL_BLEND);
        EXPECT_NO_GL_ERROR();
        const char* name = last ? "drawn last" : "drawn before more";
        expect_colour_near(added.at(w / 2, h / 2), last ? std::vector<int>{255, 255, 255} : std::vector<int>{255, 0, 0},
                           name);
        expect_colour_near(added.at(w * 3 / 10, h * 3 / 10), {255, 255, 255}, name);
        // Drawn last, the cloud is not in the resolved picture until added.
        EXPECT_EQ(resolved.at(w * 3 / 10, h * 3 / 10).brightest(), last ? 0 : 255) << name;
    }
}

TEST_F(ParticlesGlTest, TenThousandParticlesOfTheShippedSpriteFillASphere) {
    // The Geysirs cloud: 10000 particles scattered on a polyline through
    // sphere points of radius 5, with the default sprite from data/.
    test_support::ScopedChdir in(test_support::source_path(""));
    Particles cloud(ParticleSettings{vec3(0.3f, 0.6f, 1.0f), 10000}, "");
    cloud.add_shape(5.0f, false);
    cloud.update(0.0f, 3);

    const int w = 320, h = 180;
    FBO target(w, h, FBO_TYPE_RGBA8, 0);
    target.push(true);
    look_through_perspective(w, h, vec3(-15, 5, -15), vec3(0, 0, 0));
    cloud.render(0.0f);
    EXPECT_NO_GL_ERROR();
    Frame frame(w, h);
    target.pop();
    glLoadIdentity();
    glUseProgram(0);
    glDisable(GL_BLEND);
    frame.keep("particles-10000");

    // The sphere (radius 5 at distance ~21.8) spans about a third of the
    // height, centred; the corners stay dark.
    const Box box = lit_box(frame);
    EXPECT_NEAR((box.x0 + box.x1) / 2.0, w / 2.0, 8.0);
    EXPECT_NEAR((box.y0 + box.y1) / 2.0, h / 2.0, 8.0);
    EXPECT_GT(box.y1 - box.y0, h / 4);
    EXPECT_LT(box.y1 - box.y0, h * 3 / 4);
    EXPECT_GT(box.lit, w * h / 20);
    expect_colour_near(frame.at(2, 2), {0, 0, 0}, "corner");
    // Many faint sprites add up to a bright blue-white centre, not a flat
    // burnt-out blob: blue leads, red stays below it.
    const Rgba centre = frame.at(w / 2, h / 2);
    EXPECT_GT(centre.b, 60);
    EXPECT_LT(centre.r, centre.b);
}

TEST_F(ParticlesGlTest, PointSpritesDrawTheSameSquaresAsBillboardsAtEveryDepth) {
    // Sparks of the shipped sprite, sampled from one level as the fireworks
    // do, from 6 to 72 pixels wide under a perspective camera that looks at
    // them slanted; a white one gives the exact edges.
    test_support::ScopedChdir in(test_support::source_path(""));
    const int w = 320, h = 240;
    const vec3 centres[] = {{0, 0, 0}, {-3, 1, 6}, {2.5f, -1.5f, 20}, {-1, 2.2f, 40}, {3, 1, -6}, {0.4f, -0.7f, 3}};
    const float rgb[3] = {0.9f, 0.5f, 0.2f};
    std::vector<float> block(Effects::BillboardLayout(std::size(centres)).total_bytes() / sizeof(float));
    Effects::BillboardWriter out(block.data(), std::size(centres));
    for (const vec3& centre : centres) out.write(centre, rgb, 0.8f);

    Texture white;
    ASSERT_TRUE(white.load(dir.file("data/white.png"), true, true, GL_LINEAR, GL_LINEAR));
    Texture sprite;
    Effects::load_sprite(sprite, Effects::kDefaultParticleTexture);
    sprite.sample_one_level(3);
    ShaderProgram billboards(Effects::make_particles_shader());
    ShaderProgram points(Effects::make_point_sprite_shader("PointSprites"));
    GLuint vbo = 0;
    glGenBuffers(1, &vbo);

    auto draw = [&](Texture& texture, bool as_points) {
        FBO target(w, h, FBO_TYPE_RGBA8, 0);
        target.push(true);
        look_through_perspective(w, h, vec3(2, 1, -10), vec3(0, 1, 10));
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        texture.bind_and_enable();
        float modelview[16];
        if (as_points) {
            Effects::bind_point_sprite_program(points, 1.0f, Effects::pixels_per_unit());
            Effects::draw_point_sprites(vbo, block.data(), out.layout(), out.written());
            EXPECT_FALSE(glIsEnabled(GL_POINT_SPRITE));
            EXPECT_FALSE(glIsEnabled(GL_VERTEX_PROGRAM_POINT_SIZE));
        } else {
            Effects::bind_billboard_program(billboards, 1.0f, modelview);
            Effects::draw_billboard_block(vbo, block.data(), out.layout(), out.written());
        }
        EXPECT_NO_GL_ERROR();
        Frame frame(w, h);
        target.pop();
        glUseProgram(0);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glLoadIdentity();
        return frame;
    };

    const Frame quads = draw(white, false), sprites = draw(white, true);
    const Box a = lit_box(quads), b = lit_box(sprites);
    EXPECT_GT(a.lit, 60 * 60);
    EXPECT_NEAR(b.lit, a.lit, a.lit / 50);
    EXPECT_NEAR(b.x0, a.x0, 1);
    EXPECT_NEAR(b.x1, a.x1, 1);
    EXPECT_NEAR(b.y0, a.y0, 1);
    EXPECT_NEAR(b.y1, a.y1, 1);

    // The sprite's picture the right way round: the shipped sprite looks
    // the same turned or flipped, a glow off its centre toward the top
    // right does not.
    Texture off_centre;
    Effects::load_sprite(off_centre, dir.file("data/off-centre.png"));
    off_centre.sample_one_level(0);
    const struct {
        const char* name;
        Texture& texture;
        int least_lit;
    } pictures[] = {{"point-sprites", sprite, 50 * 50}, {"point-sprites-off-centre", off_centre, 30 * 30}};
    for (const auto& c : pictures) {
        const Frame glow_quads = draw(c.texture, false), glow_sprites = draw(c.texture, true);
        glow_sprites.keep(c.name);
        int largest = 0;
        double total = 0.0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Rgba p = glow_quads.at(x, y), q = glow_sprites.at(x, y);
                const int d = std::max({std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)});
                largest = std::max(largest, d);
                total += d;
            }
        EXPECT_GT(lit_box(glow_sprites).lit, c.least_lit) << c.name;
        EXPECT_LE(largest, 8) << c.name;
        EXPECT_LT(total / (w * h), 0.1) << c.name;
    }
    glDeleteBuffers(1, &vbo);
}

TEST_F(ParticlesGlTest, SpritesSampleTrilinearWithoutAnisotropyWhichSquaresFacingTheEyeDoNotNeed) {
    test_support::ScopedChdir in(test_support::source_path(""));
    Texture sprite;
    Effects::load_sprite(sprite, Effects::kDefaultParticleTexture);
    sprite.bind(0);
    GLint min_filter = 0;
    GLfloat anisotropy = 0.0f, most = 1.0f;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min_filter);
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &anisotropy);
    glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &most);
    EXPECT_EQ(min_filter, GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(anisotropy, 1.0f);

    // Squares facing the eye from 2 to 64 pixels wide, at fractional
    // positions, so that every mipmap level is read: with the most
    // anisotropy the driver offers they look as they do without it.
    const int w = 256, h = 128;
    auto draw = [&](float anisotropy_set) {
        sprite.bind(0);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, anisotropy_set);
        FBO target(w, h, FBO_TYPE_RGBA8, 0);
        target.push(true);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, w, 0, h, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        sprite.bind_and_enable();
        glColor4f(1, 1, 1, 1);
        float x = 1.3f, y = 1.7f, row = 0.0f;
        glBegin(GL_QUADS);
        for (float size = 2.0f; size <= 64.0f; size *= 1.19f) {
            if (x + size > w) {
                x = 1.3f;
                y += row + 1.0f;
                row = 0.0f;
            }
            glTexCoord2f(0, 0), glVertex2f(x, y);
            glTexCoord2f(1, 0), glVertex2f(x + size, y);
            glTexCoord2f(1, 1), glVertex2f(x + size, y + size);
            glTexCoord2f(0, 1), glVertex2f(x, y + size);
            x += size + 1.1f;
            row = std::max(row, size);
        }
        glEnd();
        EXPECT_NO_GL_ERROR();
        Frame frame(w, h);
        target.pop();
        glDisable(GL_TEXTURE_2D);
        Texture::unbind(0);
        return frame;
    };
    const Frame with = draw(most), without = draw(1.0f);
    with.keep("sprites-anisotropic");
    without.keep("sprites-trilinear");
    int largest = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgba a = with.at(x, y), b = without.at(x, y);
            largest = std::max({largest, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
        }
    EXPECT_GT(without.brightest(), 200);
    EXPECT_LE(largest, 1) << "with anisotropy " << most;
}

}  // namespace
