// The low-resolution picture scene drawn into targets of known sizes and read
// back: the background tiles at one texel per canvas pixel, the figure lands
// where its path says with its transparent pixels showing the background,
// and the canvas fills the whole target whatever its size.
#include "scenes/scene_tobelroto/tobelroto.h"

#include <GL/glew.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "support/gl_context.h"
#include "support/test_support.h"
#include "system/settings_guard.h"
#include "system/zemblasystem.h"
#include "util/data/data.h"
#include "util/fbo/fbo.h"
#include "util/music/music.h"
#include "util/texture/texture.h"

namespace {

const char* const kFigure = "data/scenes/tobelroto/harvest_of_the_owls_2017_guys_transparent.png";
const char* const kBackground = "data/scenes/tobelroto/pegboard_hearts.jpeg";

// RGBA pixels with row 0 at the bottom, as GL reads them.
struct Pixels {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;
    const unsigned char* at(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

bool same_rgb(const unsigned char* a, const unsigned char* b) {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

bool near_rgb(const unsigned char* a, const unsigned char* b, int tolerance) {
    for (int i = 0; i < 3; ++i)
        if (std::abs(a[i] - b[i]) > tolerance) return false;
    return true;
}

// A picture as the scene's texture holds it.
Pixels texels_of(const char* file) {
    Texture texture;
    EXPECT_TRUE(texture.load(file, false, false, GL_NEAREST, GL_NEAREST));
    Pixels p;
    p.width = static_cast<int>(texture.get_width());
    p.height = static_cast<int>(texture.get_height());
    p.rgba.resize(static_cast<size_t>(p.width) * p.height * 4);
    texture.bind(0);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, p.rgba.data());
    Texture::unbind(0);
    texture.release();
    return p;
}

class TobelRotoTest : public test_support::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        DataFile::set_mode(DataFileMode::Plain);
        ZemblaSystem::music_file = "";
        ZemblaSystem::bpm = 75.0f;
        ZemblaSystem::sync_client = 0;
        ZemblaSystem::get_avi = false;
        music = std::make_unique<Music>();
        scene.set_music(music.get());
        scene.init();
        figure = texels_of(kFigure);
        background = texels_of(kBackground);
    }
    void TearDown() override { DataFile::set_mode(saved_mode); }

    // The scene at `beats`, drawn into a target of width x height.
    Pixels render(float beats, int width, int height) {
        music->set_time(beats * 60.0f / ZemblaSystem::bpm);
        FBO target(width, height, FBO_TYPE_RGBA8, 0);
        target.push(true);
        scene.resize(width, height);
        scene.draw();
        Pixels p{width, height, test_support::read_pixels(0, 0, width, height)};
        target.pop();
        EXPECT_NO_GL_ERROR();
        return p;
    }

    // The background texel that canvas pixel (x, y) shows.
    const unsigned char* background_at(int x, int y) const {
        return background.at(x % background.width, y % background.height);
    }

    // How many of the figure's opaque texels show at their place when its
    // lower left corner is at (x0, y0) of `canvas`, out of how many fit.
    std::pair<int, int> opaque_matches(const Pixels& canvas, int x0, int y0) const {
        int matches = 0, total = 0;
        for (int y = 0; y < figure.height; ++y)
            for (int x = 0; x < figure.width; ++x) {
                if (figure.at(x, y)[3] != 255) continue;
                if (x0 + x >= canvas.width || y0 + y >= canvas.height) continue;
                ++total;
                if (same_rgb(canvas.at(x0 + x, y0 + y), figure.at(x, y))) ++matches;
            }
        return {matches, total};
    }

    test_support::SettingsGuard settings;
    test_support::ScopedChdir in_source{test_support::source_path("")};
    int saved_mode = DataFile::get_mode();
    std::unique_ptr<Music> music;
    TobelRoto scene;
    Pixels figure, background;
};

TEST_F(TobelRotoTest, PicturesAreThoseOfTheData) {
    ASSERT_EQ(figure.width, 100);
    ASSERT_EQ(figure.height, 140);
    ASSERT_EQ(background.width, 64);
    ASSERT_EQ(background.height, 64);
}

TEST_F(TobelRotoTest, AtBeatZeroTheFigureSitsAt110By30OverTheTiledBackground) {
    Pixels canvas = render(0.0f, TobelRoto::kCanvasWidth, TobelRoto::kCanvasHeight);
    int figure_pixels = 0, background_pixels = 0, wrong = 0;
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            int fx = x - 110, fy = y - 30;
            bool inside = fx >= 0 && fy >= 0 && fx < figure.width && fy < figure.height;
            // Opaque texels cover the background; transparent ones let it through.
            const unsigned char* expected = background_at(x, y);
            if (inside && figure.at(fx, fy)[3] == 255) {
                expected = figure.at(fx, fy);
                ++figure_pixels;
            } else if (inside && figure.at(fx, fy)[3] != 0) {
                continue;  // an edge texel, blended
            } else {
                ++background_pixels;
            }
            if (!same_rgb(canvas.at(x, y), expected)) ++wrong;
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(figure_pixels, 3000);
    EXPECT_GT(background_pixels, 40000);
}

TEST_F(TobelRotoTest, TheFigureFollowsItsPathWithTheBeats) {
    // Beat b: a = 50 b, x = 110 + 110 sin(a / 100), y = 15 + 15 cos(a / 71).
    struct Case {
        float beats;
        float x, y;
    } cases[] = {
        {0.0f, 110.0f, 30.0f},
        {2.0f, 202.56f, 17.42f},
        {std::acos(-1.0f) * 3.0f, 0.0f, 15.0f + 15.0f * std::cos(150.0f * std::acos(-1.0f) / 71.0f)},
        {17.0f, 110.0f + 110.0f * std::sin(8.5f), 15.0f + 15.0f * std::cos(850.0f / 71.0f)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.beats);
        float x = 0, y = 0;
        TobelRoto::figure_position(c.beats, &x, &y);
        EXPECT_NEAR(x, c.x, 0.01f);
        EXPECT_NEAR(y, c.y, 0.01f);
        // At a fractional place a texel lands on the nearest canvas pixel.
        Pixels canvas = render(c.beats, TobelRoto::kCanvasWidth, TobelRoto::kCanvasHeight);
        auto [matches, total] = opaque_matches(canvas, static_cast<int>(std::lround(x)),
                                               static_cast<int>(std::lround(y)));
        EXPECT_GT(total, 3000);
        EXPECT_GT(matches, total * 9 / 10);
    }
}

TEST_F(TobelRotoTest, TheCanvasIsStretchedOverTheWholeTarget) {
    // Four screen pixels a canvas pixel each way; the canvas keeps 320 x 180
    // whatever the target's size.
    Pixels canvas = render(0.0f, TobelRoto::kCanvasWidth, TobelRoto::kCanvasHeight);
    Pixels big = render(0.0f, 4 * TobelRoto::kCanvasWidth, 4 * TobelRoto::kCanvasHeight);
    Pixels canvas_again = render(0.0f, TobelRoto::kCanvasWidth, TobelRoto::kCanvasHeight);
    int same = 0, total = 0;
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            ++total;
            // The canvas texture is filtered linearly: the middle of each
            // 4 x 4 block takes 7/8 of its own texel each way.
            if (near_rgb(big.at(4 * x + 2, 4 * y + 2), canvas.at(x, y), 64)) ++same;
        }
    EXPECT_GT(same, total * 95 / 100);
    EXPECT_EQ(canvas.rgba, canvas_again.rgba);
}

}  // namespace
