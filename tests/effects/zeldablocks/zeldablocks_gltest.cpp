// The travelling blocks drawn in front of a camera: black cards with pale
// rims, no GL error, and the fatal paths of init and render.
#include <GL/glew.h>
#include <GL/glu.h>

#include <cmath>

#include "effects/effects_gl_fixture.h"
#include "effects/zeldablocks/zeldablocks.h"
#include "util/fbo/fbo.h"
#include "util/math/random.h"

namespace {

using test_support::Frame;

class ZeldaBlocksTest : public effects_test::EffectsGlTest {};

Effects::ZeldaBlocksSettings field() {
    Effects::ZeldaBlocksSettings s;
    s.count = 60;
    s.box.min = vec3(-6, -4, -20);
    s.box.max = vec3(6, 4, 0);
    s.box.length = 20.0f;
    s.size = 1.5f;
    return s;
}

TEST_F(ZeldaBlocksTest, DrawsBlackCardsWithPaleRimsAlongTheBox) {
    random_seed(3);
    Effects::ZeldaBlocksSettings s = field();
    s.min_speed = 0.1f;
    s.max_speed = 0.3f;
    s.size = 2.0f;
    Effects::ZeldaBlocks blocks;
    blocks.init(s);
    FBO target(160, 90, FBO_TYPE_RGBA8, 0);
    target.push(false);
    glClearColor(0.3f, 0.3f, 0.3f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, 16.0 / 9.0, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 0, 3, 0, 0, -20, 0, 1, 0);
    blocks.render(4.3f);
    EXPECT_NO_GL_ERROR();
    const Frame f(160, 90);
    f.keep("zeldablocks");
    target.pop();
    int black = 0, pale = 0;
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 160; ++x) {
            const test_support::Rgba c = f.at(x, y);
            black += c.brightest() < 10;
            pale += c.b > 150 && c.b >= c.r;
        }
    EXPECT_GT(black, 100) << "card faces";
    EXPECT_GT(pale, 50) << "rims";
    // Every block is inside the box after the frame's moves.
    for (const Effects::ZeldaBlock& b : blocks.get_blocks()) {
        EXPECT_GE(b.position.z, -20.0f);
        EXPECT_LE(b.position.z, 0.0f);
        EXPECT_FALSE(std::isnan(b.angle));
    }
}

TEST_F(ZeldaBlocksTest, RenderBeforeInitAndASecondInitEndTheRun) {
    Effects::ZeldaBlocks blocks;
    EXPECT_FATAL(blocks.render(0.0f), "ZeldaBlocks::render() called without initializing effect!");
    blocks.init(field());
    EXPECT_FATAL(blocks.init(field()), "ZeldaBlocks::init() called twice!");
}

TEST_F(ZeldaBlocksTest, ABlockPastTheFarEndIsPlacedAnewOnTheStartPlane) {
    random_seed(11);
    Effects::ZeldaBlocksSettings s = field();
    s.count = 20;
    s.box.length = 80.0f;  // four times the box: most of each cycle lies past its end
    s.box.disc = true;
    s.box.radius = 2.0f;
    Effects::ZeldaBlocks blocks;
    blocks.init(s);
    FBO target(32, 32, FBO_TYPE_RGBA8, 0);
    target.push(true);
    for (float t : {0.0f, 1.0f, 2.0f, 3.0f}) {
        blocks.render(t);
        for (const Effects::ZeldaBlock& b : blocks.get_blocks()) {
            EXPECT_LE(std::hypot(b.position.x, b.position.y), 2.0f + 1e-5f);
            EXPECT_FLOAT_EQ(b.position.z, Effects::zelda_block_z(t, b.speed, -20.0f, 80.0f));
        }
    }
    target.pop();
    EXPECT_NO_GL_ERROR();
}

}  // namespace
