// Each pass drawn the way the frame loop draws it (render, then the source
// target's colour texture over the unit square through the bound program)
// into a small target: it changes a test picture the way its parameters say,
// and leaves the picture as it is at its neutral values.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "effects/postproc/postproc_passes.h"
#include "effects/postproc/radblur.h"
#include "util/fbo/fbo.h"
#include "util/shaderprogram/shaderprogram.h"
#include "util/texture/texture.h"

namespace {

using postproc_test::passes;
using postproc_test::Passes;

// An RGBA picture, row 0 at the bottom (as GL stores and reads it).
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;

    Picture(int w, int h) : width(w), height(h), rgba(static_cast<size_t>(w) * h * 4, 0) {}
    Picture(int w, int h, const std::function<std::vector<int>(int, int)>& colour_at) : Picture(w, h) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::vector<int> c = colour_at(x, y);
                for (int i = 0; i < 4; ++i) rgba[index(x, y) + i] = static_cast<unsigned char>(c[i]);
            }
    }
    size_t index(int x, int y) const { return (static_cast<size_t>(y) * width + x) * 4; }
    int at(int x, int y, int channel) const { return rgba[index(x, y) + channel]; }
    std::vector<int> pixel(int x, int y) const {
        return {at(x, y, 0), at(x, y, 1), at(x, y, 2), at(x, y, 3)};
    }
};

// Largest difference of any channel between two pictures of one size.
int max_difference(const Picture& a, const Picture& b) {
    int worst = 0;
    for (size_t i = 0; i < a.rgba.size(); ++i) worst = std::max(worst, std::abs(a.rgba[i] - b.rgba[i]));
    return worst;
}

// `in` inside `area` and white outside it: a pass that reads only its source
// area draws the same from it as from `in`.
Picture white_outside(const Picture& in, const ViewportRect& area) {
    return Picture(in.width, in.height, [&](int x, int y) {
        const bool inside = x >= area.x && x < area.x + area.width && y >= area.y && y < area.y + area.height;
        return inside ? in.pixel(x, y) : std::vector<int>{255, 255, 255, 255};
    });
}

// Largest channel difference between two pixels of one picture or two.
int pixel_difference(const std::vector<int>& a, const std::vector<int>& b) {
    int worst = 0;
    for (int i = 0; i < 4; ++i) worst = std::max(worst, std::abs(a[i] - b[i]));
    return worst;
}

double mean_of(const Picture& p, int channel) {
    double sum = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) sum += p.at(x, y, channel);
    return sum / (p.width * p.height);
}

double deviation_of(const Picture& p, int channel) {
    const double mean = mean_of(p, channel);
    double sum = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) sum += (p.at(x, y, channel) - mean) * (p.at(x, y, channel) - mean);
    return std::sqrt(sum / (p.width * p.height));
}

// Gives the bound program `to` the float, vec4 and mat4 uniforms of the
// program `from`, by name.
void copy_uniforms(GLuint from, ShaderProgram& to) {
    GLint count = 0;
    glGetProgramiv(from, GL_ACTIVE_UNIFORMS, &count);
    for (GLint i = 0; i < count; ++i) {
        char name[64] = {};
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(from, static_cast<GLuint>(i), sizeof name, nullptr, &size, &type, name);
        float v[16] = {};
        glGetUniformfv(from, glGetUniformLocation(from, name), v);
        if (type == GL_FLOAT) to.set_uniform1f(name, v[0]);
        if (type == GL_FLOAT_VEC4) to.set_uniform4fv(name, v, 1);
        if (type == GL_FLOAT_MAT4) to.set_uniform_matrix4fv(name, v, 1, false);
    }
}

// Test pictures, 64 x 64 unless said otherwise.
const int kSize = 64;

// Red across, green up, a blue checker of 4-pixel squares and alpha falling
// to the right: every pixel differs from its neighbours and its mirror images.
Picture card(int w = kSize, int h = kSize) {
    return Picture(w, h, [](int x, int y) {
        return std::vector<int>{x * 4, y * 4, ((x / 4 + y / 4) % 2) * 200 + 20, 255 - x};
    });
}

Picture flat(int r, int g, int b) {
    return Picture(kSize, kSize, [=](int, int) { return std::vector<int>{r, g, b, 255}; });
}

// Black on the left half, white on the right.
Picture edge() {
    return Picture(kSize, kSize, [](int x, int) {
        const int v = x < kSize / 2 ? 0 : 255;
        return std::vector<int>{v, v, v, 255};
    });
}

class PostProcPixelsTest : public test_support::GlTest {
protected:
    // Runs the pass over the picture with the given parameters (index, value)
    // and returns what it drew.
    Picture apply(Effects::PostProc& pass, const Picture& in,
                  const std::vector<std::pair<int, float>>& params = {}, float beats = 0.0f) {
        for (const auto& param : params) pass.set_param(param.first, param.second);
        return draw(in, [&](FBO& source) {
            pass.update(in.width, in.height, beats, &source);
            pass.render(in.width, in.height, beats);
        });
    }

    // The pass's uniforms (as its render sets them) with `program` bound in
    // place of the pass's own, drawn over the picture in one full-size step.
    Picture apply_program(ShaderProgram& program, Effects::PostProc& pass, const Picture& in) {
        return draw(in, [&](FBO&) {
            pass.render(in.width, in.height, 0.0f);
            GLint pass_program = 0;
            glGetIntegerv(GL_CURRENT_PROGRAM, &pass_program);
            program.bind();
            copy_uniforms(static_cast<GLuint>(pass_program), program);
        });
    }

    // The picture in a source target; `bind` readies a program for it, and
    // the frame loop's draw (the source's colour texture over the unit
    // square) goes through that program into a target of the same size.
    Picture draw(const Picture& in, const std::function<void(FBO& source)>& bind) {
        FBO source(in.width, in.height, FBO_TYPE_RGBA8, 0);
        FBO target(in.width, in.height, FBO_TYPE_RGBA8, 0);
        glBindTexture(GL_TEXTURE_2D, source.get_texture(0)->get_id());
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, in.width, in.height, GL_RGBA, GL_UNSIGNED_BYTE,
                        in.rgba.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        glDisable(GL_BLEND);
        glDisable(GL_SCISSOR_TEST);
        glActiveTexture(GL_TEXTURE0);

        bind(source);
        target.push(true);
        source.draw();
        Picture out(in.width, in.height);
        out.rgba = test_support::read_pixels(0, 0, in.width, in.height);
        target.pop();
        EXPECT_NO_GL_ERROR();
        return out;
    }

    // A picture file scaled to width x height.
    Picture picture_file(const std::string& path, int width, int height) {
        Texture texture(path, false, false);
        FBO target(width, height, FBO_TYPE_RGBA8, 0);
        target.push(true);
        Texture::use_default_shader();
        texture.draw(0, 0, 1, 1);
        Picture out(width, height);
        out.rgba = test_support::read_pixels(0, 0, width, height);
        target.pop();
        EXPECT_NO_GL_ERROR();
        return out;
    }
};

TEST_F(PostProcPixelsTest, EveryPassLeavesThePictureAloneAtNeutralValues) {
    Passes& p = passes();
    struct Case {
        Effects::PostProc* pass;
        std::vector<std::pair<int, float>> neutral;
        bool defaults_change_the_picture;
        // Says so at its neutral values, and the frame loop leaves it out.
        bool skipped_at_neutral;
    };
    const Case cases[] = {
        {&p["Dither"], {{0, 0.0f}}, true, false},
        {&p["Fade"], {{0, 0.0f}}, false, true},
        {&p["Blur"], {{0, 0.0f}}, true, true},
        {&p["Radblur"], {{3, 0.0f}}, true, true},
        {&p["Film"], {}, false, false},
        {&p["Kaleidoscope"], {{0, 0.0f}, {1, 0.0f}}, true, false},
        {&p["K2"], {{0, 0.0f}, {1, 0.0f}}, true, false},
        {&p["Subdiv"], {{0, 1.0f}, {1, 1.0f}}, true, false},
        {&p["Noise"], {{0, 0.0f}, {1, 3.0f}}, true, false},
        {&p["VHS"], {{0, 0.0f}, {1, 3.0f}, {2, 0.0f}}, true, false},
    };
    const Picture in = card();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pass->get_name());
        passes();  // back to the defaults
        const Picture at_defaults = apply(*c.pass, in, {}, 5.0f);
        EXPECT_EQ(max_difference(at_defaults, in) > 1, c.defaults_change_the_picture);
        const Picture neutral = apply(*c.pass, in, c.neutral, 5.0f);
        EXPECT_LE(max_difference(neutral, in), 1);
        EXPECT_EQ(!c.pass->changes_picture(), c.skipped_at_neutral);
        // Left out, it must have drawn the picture exactly.
        if (c.skipped_at_neutral) {
            EXPECT_EQ(max_difference(neutral, in), 0);
        }
    }
}

TEST_F(PostProcPixelsTest, BlurSmoothsAnEdgeOverScaleTimesIterations) {
    Effects::PostProc& blur = passes()["Blur"];
    const Picture in = edge();
    // Scale 30 puts the rings 0.03 of the width (1.92 pixels) apart.
    const Picture one_ring = apply(blur, in, {{0, 30.0f}, {1, 1.0f}});
    const Picture three_rings = apply(blur, in, {{0, 30.0f}, {1, 3.0f}});
    for (const Picture* out : {&one_ring, &three_rings}) {
        for (int x : {31, 32}) {
            EXPECT_GT(out->at(x, 10, 1), 20) << x;
            EXPECT_LT(out->at(x, 10, 1), 235) << x;
        }
        EXPECT_EQ(out->pixel(2, 10), in.pixel(2, 10));
        EXPECT_EQ(out->pixel(61, 10), in.pixel(61, 10));
        for (int x = 1; x < kSize; ++x) EXPECT_GE(out->at(x, 10, 0), out->at(x - 1, 10, 0)) << x;
        EXPECT_EQ(out->at(32, 10, 3), 255);
    }
    // 3.5 pixels from the edge only the third ring reaches across.
    EXPECT_EQ(one_ring.at(28, 10, 0), 0);
    EXPECT_GT(three_rings.at(28, 10, 0), 5);
    EXPECT_LT(three_rings.at(35, 10, 0), 250);
    // The ring count is bounded: a huge Iterations costs no more than eight rings.
    const Picture eight = apply(blur, in, {{0, 10.0f}, {1, 8.0f}});
    EXPECT_EQ(max_difference(apply(blur, in, {{0, 10.0f}, {1, 1e9f}}), eight), 0);
    EXPECT_EQ(max_difference(apply(blur, in, {{0, 10.0f}, {1, 9.0f}}), eight), 0);
    // Less than one ring, or a negative count, leaves the picture as it is.
    EXPECT_LE(max_difference(apply(blur, in, {{0, 10.0f}, {1, 0.5f}}), in), 1);
    EXPECT_LE(max_difference(apply(blur, in, {{0, 10.0f}, {1, -3.0f}}), in), 1);
}

// Blur and Radblur gather their many taps at a fraction of the render size
// (Radblur at a quarter of each side up to a Strength of
// Radblur::kQuarterSizeStrength, at half above it, and in rounds). They must
// look as when every tap was read at full size: the one-step shaders they
// replaced are kept beside this test and drawn over the same pictures
// (Radblur's reads its smear as a continuous one, with taps a pixel apart).
// At 640 x 360, Blur Scale 5 puts the rings as many pixels apart as the
// default 2.5 does at 1280 x 720. The pictures: the loading-screen logo (thin
// lettering, the hardest case) and a sky face (soft clouds and small stars).
// What a viewer would not see (looked at side by side, magnified): on
// average under 0.5/255 per channel, at most 1 value in 1000 more than 12/255
// off, and none more than 32/255 (those few on the edges of thin lines,
// inside the blur). Radblur's rounds read the smear back from the gathering
// size once more for each round after the first, which softens its streaks
// across the line to the centre: the streak of a stroke a pixel wide that
// points at the centre (the logo's A) comes out up to 47/255 dimmer at its
// peak, a softer line at full size side by side; up to 1 value in 1000 is
// 14/255 off.
TEST_F(PostProcPixelsTest, BlurAndRadblurLookAsTheyDidInOneFullSizeStep) {
    const int w = 640, h = 360;
    Passes& p = passes();
    test_support::ScopedChdir in_source(test_support::source_path(""));
    struct Case {
        const char* name;
        Effects::PostProc* pass;
        const char* one_step;
        std::vector<std::pair<int, float>> params;
    };
    const Case cases[] = {
        {"Blur, default rings", &p["Blur"], "blur", {{0, 5.0f}, {1, 3.0f}}},
        {"Blur, eight rings", &p["Blur"], "blur", {{0, 2.5f}, {1, 8.0f}}},
        {"Radblur, defaults", &p["Radblur"], "radblur", {}},
        {"Radblur, the default show's", &p["Radblur"], "radblur", {{0, 0.3f}, {1, 0.6f}, {2, 0.6f}, {3, 0.35f}}},
        {"Radblur, long and whole", &p["Radblur"], "radblur", {{0, 0.7f}, {1, 0.4f}, {2, 0.6f}, {3, 1.0f}}},
        // The strongest smears gathered at a quarter of each side.
        {"Radblur, defaults as weak as a quarter-size gathering takes", &p["Radblur"], "radblur",
         {{3, Effects::Radblur::kQuarterSizeStrength}}},
        {"Radblur, long as weak as a quarter-size gathering takes", &p["Radblur"], "radblur",
         {{0, 0.7f}, {1, 0.4f}, {2, 0.6f}, {3, Effects::Radblur::kQuarterSizeStrength}}},
        {"Radblur, a hit's peak, just past a quarter-size gathering", &p["Radblur"], "radblur",
         {{2, 0.6f}, {3, Effects::Radblur::kQuarterSizeStrength + 0.01f}}},
    };
    for (const char* file : {"data/common/images/orvenhal_logo_16_9.png",
                             "data/effects/skybox/spacescape_desat_nebula_complex/desat_nebula_complex_posx.png"}) {
        const Picture picture = picture_file(file, w, h);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(file) + ": " + c.name);
            passes();  // back to the defaults
            const Picture now = apply(*c.pass, picture, c.params);
            const std::string folder = std::string("data/effects/postproc/") + c.one_step + "/";
            ShaderProgram one_step(folder + c.one_step + ".vert",
                                   "tests/effects/postproc/one_step/" + std::string(c.one_step) + ".frag");
            const Picture before = apply_program(one_step, *c.pass, picture);
            std::vector<int> off;
            double sum = 0;
            for (size_t i = 0; i < now.rgba.size(); ++i) {
                off.push_back(std::abs(now.rgba[i] - before.rgba[i]));
                sum += off.back();
            }
            std::sort(off.begin(), off.end());
            const bool rounds = c.pass == &p["Radblur"];
            EXPECT_LT(sum / off.size(), 0.5);
            EXPECT_LE(off[off.size() * 999 / 1000], rounds ? 14 : 12);
            EXPECT_LT(off.back(), rounds ? 48 : 33);
            // The pass does change the picture: the comparison means something.
            EXPECT_GT(max_difference(now, picture), 40);
        }
    }
}

TEST_F(PostProcPixelsTest, DitherTurnsThePictureIntoBlocksOfFewerColours) {
    Effects::PostProc& dither = passes()["Dither"];
    const Picture in = card();
    auto colours = [](const Picture& p) {
        std::set<std::vector<int>> distinct;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) distinct.insert(p.pixel(x, y));
        return distinct.size();
    };
    ASSERT_EQ(colours(in), static_cast<size_t>(kSize * kSize));
    // Factor 0.5: about 12.2 blocks each way, each block one colour.
    const Picture out = apply(dither, in, {{0, 0.5f}});
    EXPECT_LE(colours(out), 13u * 13u);
    EXPECT_GE(colours(out), 100u);
    int equal_neighbours = 0;
    for (int x = 1; x < kSize; ++x) equal_neighbours += out.pixel(x, 20) == out.pixel(x - 1, 20);
    EXPECT_GE(equal_neighbours, kSize - 13);
    // Colours are quantised too: the red ramp keeps only a few levels.
    std::set<int> reds;
    for (int x = 0; x < kSize; ++x) reds.insert(out.at(x, 20, 0));
    EXPECT_LE(reds.size(), 13u);
    // Factor 1 leaves less than one block: one colour for the whole picture;
    // beyond 1/0.85 the block count turns negative and still gives blocks.
    EXPECT_EQ(colours(apply(dither, in, {{0, 1.0f}})), 1u);
    const size_t beyond = colours(apply(dither, in, {{0, 2.0f}}));
    EXPECT_GT(beyond, 1u);
    EXPECT_LE(beyond, 23u * 23u);
    // Blocks follow the render size on each axis: a wide picture gets as
    // many blocks across as a square one of its width, fewer up.
    const Picture wide = apply(dither, card(kSize, 16), {{0, 0.5f}});
    std::set<std::vector<int>> column;
    for (int y = 0; y < 16; ++y) column.insert(wide.pixel(20, y));
    EXPECT_LE(column.size(), 4u);
}

TEST_F(PostProcPixelsTest, FadeGoesTowardWhiteOrBlackByTheValue) {
    Effects::PostProc& fade = passes()["Fade"];
    const Picture in = card();
    struct Case {
        float value;
        std::function<int(int)> expected;  // of an input channel value
    };
    const Case cases[] = {
        {1.0f, [](int) { return 255; }},
        {-1.0f, [](int) { return 0; }},
        {5.0f, [](int) { return 255; }},
        {0.5f, [](int v) { return (v + 255) / 2; }},
        {-0.5f, [](int v) { return v / 2; }},
        {-0.25f, [](int v) { return v * 3 / 4; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const Picture out = apply(fade, in, {{0, c.value}});
        int worst = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                for (int ch = 0; ch < 3; ++ch)
                    worst = std::max(worst, std::abs(out.at(x, y, ch) - c.expected(in.at(x, y, ch))));
                worst = std::max(worst, std::abs(out.at(x, y, 3) - in.at(x, y, 3)));
            }
        EXPECT_LE(worst, 1);
    }
}

TEST_F(PostProcPixelsTest, FilmTintsDesaturatesAndAdjustsContrastAndBrightness) {
    Effects::PostProc& film = passes()["Film"];
    const Picture in = flat(200, 100, 50);
    // Grey by luminance: 0.299 * 200 + 0.587 * 100 + 0.114 * 50 = 124.25.
    auto look = [&](const std::vector<std::pair<int, float>>& params) {
        passes();  // back to the defaults
        return apply(film, in, params).pixel(20, 20);
    };
    for (const auto& params : {std::vector<std::pair<int, float>>{{1, 1.0f}}, {{0, 0.0f}}}) {
        const std::vector<int> grey = look(params);
        EXPECT_NEAR(grey[0], 124, 1);
        EXPECT_NEAR(grey[1], 124, 1);
        EXPECT_NEAR(grey[2], 124, 1);
    }
    const std::vector<int> half = look({{0, 0.5f}});
    EXPECT_NEAR(half[0], 162, 1);
    const std::vector<int> brown = look({{2, 1.0f}});
    EXPECT_GT(brown[0], brown[1] + 10);
    EXPECT_GT(brown[1], brown[2] + 10);
    const std::vector<int> green = look({{3, 1.0f}});
    EXPECT_GT(green[1], std::max(green[0], green[2]) + 5);
    const std::vector<int> blue = look({{4, 1.0f}});
    EXPECT_GT(blue[2], std::max(blue[0], blue[1]) + 10);
    // The Contrast track is the change: +1 doubles the distance from mid-grey,
    // -1 flattens everything to it.
    const std::vector<int> steeper = look({{5, 1.0f}});
    EXPECT_EQ(steeper[0], 255);
    EXPECT_NEAR(steeper[1], 72, 1);
    EXPECT_EQ(steeper[2], 0);
    const std::vector<int> flattened = look({{5, -1.0f}});
    for (int ch = 0; ch < 3; ++ch) EXPECT_NEAR(flattened[ch], 128, 1);
    const std::vector<int> brighter = look({{6, 0.2f}});
    EXPECT_NEAR(brighter[0], 251, 1);
    EXPECT_NEAR(brighter[1], 151, 1);
    EXPECT_NEAR(brighter[2], 101, 1);
    EXPECT_EQ(brighter[3], 255);
}

TEST_F(PostProcPixelsTest, FilmWithoutGrainOrScanlinesDrawsWhatTheWholeFilmDraws) {
    // Without grain and scanlines the pass draws with its colour-only
    // program: every pixel as the whole film's program gives it.
    Effects::PostProc& film = passes()["Film"];
    const Picture in = card();
    ShaderProgram whole(test_support::source_path("data/effects/postproc/film/film.vert"),
                        test_support::source_path("data/effects/postproc/film/film.frag"));
    const std::vector<std::vector<std::pair<int, float>>> cases = {
        {}, {{0, 0.3f}, {1, 0.2f}, {2, 0.5f}}, {{3, 0.4f}, {4, 0.6f}, {5, 0.7f}, {6, -0.06f}}};
    for (const auto& params : cases) {
        passes();  // back to the defaults
        const Picture tone = apply(film, in, params);
        EXPECT_EQ(max_difference(apply_program(whole, film, in), tone), 0);
    }
}

TEST_F(PostProcPixelsTest, FilmGrainMovesWithTheBeatAndScanlinesDarkenEveryOtherRow) {
    Effects::PostProc& film = passes()["Film"];
    const Picture grey = flat(128, 128, 128);
    const Picture grain = apply(film, grey, {{7, 0.5f}}, 1.0f);
    EXPECT_GT(deviation_of(grain, 0), 15.0);
    EXPECT_NEAR(mean_of(grain, 0), 128.0, 8.0);
    EXPECT_EQ(max_difference(apply(film, grey, {}, 1.0f), grain), 0);
    EXPECT_GT(max_difference(apply(film, grey, {}, 1.5f), grain), 50);

    passes();  // back to the defaults
    const Picture lines = apply(film, grey, {{8, 1.0f}});
    for (int y = 0; y + 2 < kSize; ++y) {
        EXPECT_GT(std::abs(lines.at(10, y, 0) - lines.at(10, y + 1, 0)), 100) << y;
        EXPECT_EQ(lines.pixel(10, y), lines.pixel(10, y + 2)) << y;
        EXPECT_EQ(lines.pixel(10, y), lines.pixel(50, y)) << y;
    }
}

TEST_F(PostProcPixelsTest, RadblurSmearsAlongTheLinesThroughItsCentre) {
    Effects::PostProc& radblur = passes()["Radblur"];
    // A white square at x 42..47, y 29..34 on black.
    const Picture in = Picture(kSize, kSize, [](int x, int y) {
        const int v = (x >= 42 && x < 48 && y >= 29 && y < 35) ? 255 : 0;
        return std::vector<int>{v, v, v, 255};
    });
    // Centre in the middle: the square streaks outward along the row.
    const Picture middle = apply(radblur, in);
    EXPECT_GT(middle.at(50, 32, 0), 40);
    EXPECT_LT(middle.at(38, 32, 0), 3);
    EXPECT_LT(middle.at(45, 40, 0), 3);
    EXPECT_LT(middle.at(43, 32, 0), 255);
    // Centre right below the square: it streaks upward instead.
    const Picture below = apply(radblur, in, {{0, 45.0f / kSize}, {1, 0.0f}});
    EXPECT_GT(below.at(45, 38, 0), 40);
    EXPECT_LT(below.at(50, 32, 0), 3);
    // Strength mixes the smear in; a Step of 1 has nothing to smear.
    const Picture half = apply(radblur, in, {{0, 0.5f}, {1, 0.5f}, {3, 0.5f}});
    EXPECT_NEAR(half.at(50, 32, 0), middle.at(50, 32, 0) / 2, 2);
    EXPECT_LE(max_difference(apply(radblur, in, {{2, 1.0f}, {3, 1.0f}}), in), 1);
}

// A thin bright line away from the centre smears into one streak that fades
// outward, not into a row of separate copies with black between them. Taps
// spread evenly over the smear leave copies as far apart as the smear is
// long over their number: near the centre of a small picture nine of them
// lay copies 10 to 20 pixels apart; a line far out on a large picture drew
// copies 7 to 12 pixels apart from 48.
TEST_F(PostProcPixelsTest, RadblurSmearsAThinLineIntoAStreakWithoutGaps) {
    const struct Case {
        const char* what;
        int width, height;
        int line_x, line_width;  // a vertical white line on black
        // The streak's row is looked at from `from` to `to`: it runs outward
        // to about 1/0.9^9.5 of the line's distance from the centre.
        int from, to;
        int least_brightest;  // a thin line far out smears faintly
    } cases[] = {
        {"80 pixels right of the centre of 640 x 360", 640, 360, 400, 4, 410, 520, 12},
        {"360 pixels right of the centre of 1280 x 720", 1280, 720, 1000, 2, 1030, 1270, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Picture in = Picture(c.width, c.height, [&](int x, int) {
            const int v = (x >= c.line_x && x < c.line_x + c.line_width) ? 255 : 0;
            return std::vector<int>{v, v, v, 255};
        });
        // The shows' hits: centred, Step 0.6, at full strength.
        const Picture out = apply(passes()["Radblur"], in, {{0, 0.5f}, {1, 0.5f}, {2, 0.6f}, {3, 1.0f}});
        const int row = c.height / 2;
        int brightest = 0, darkest = 255;
        for (int x = c.from; x < c.to; ++x) {
            brightest = std::max(brightest, out.at(x, row, 0));
            darkest = std::min(darkest, out.at(x, row, 0));
        }
        EXPECT_GE(brightest, c.least_brightest);
        EXPECT_GT(darkest, brightest / 3) << "gaps between copies of the line";
        // It fades outward, a little at a time.
        for (int x = c.from + 10; x + 20 < c.to; x += 20)
            EXPECT_GE(out.at(x, row, 0) + 1, out.at(x + 20, row, 0)) << x;
        // Nothing smears inward, toward the centre.
        EXPECT_LE(out.at(c.line_x - 10, row, 0), 1);
    }
}

TEST_F(PostProcPixelsTest, KaleidoscopeMirrorsIntoItsDivisions) {
    Passes& p = passes();
    const Picture in = card();
    auto mirror_error = [](const Picture& out, bool flip_x, bool flip_y, bool transpose) {
        int worst = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                int mx = flip_x ? kSize - 1 - x : x;
                int my = flip_y ? kSize - 1 - y : y;
                if (transpose) std::swap(mx, my);
                worst = std::max(worst, pixel_difference(out.pixel(x, y), out.pixel(mx, my)));
            }
        return worst;
    };
    // The card has no symmetry of its own.
    EXPECT_GT(mirror_error(in, true, false, false), 100);
    EXPECT_GT(mirror_error(in, false, true, false), 100);

    // Two wedges: left and right are mirror images.
    const Picture two = apply(p["Kaleidoscope"], in, {{1, 2.0f}});
    EXPECT_GT(max_difference(two, in), 100);
    EXPECT_LE(mirror_error(two, true, false, false), 2);
    // Four wedges: mirrored both ways and about the diagonal.
    const Picture four = apply(p["Kaleidoscope"], in, {{1, 4.0f}});
    EXPECT_LE(mirror_error(four, true, false, false), 2);
    EXPECT_LE(mirror_error(four, false, true, false), 2);
    EXPECT_LE(mirror_error(four, false, false, true), 2);
    // K2 is the same pass under its own name and parameters.
    EXPECT_EQ(max_difference(apply(p["K2"], in, {{1, 4.0f}}), four), 0);
    // Rotation turns the picture about its centre (half a turn here).
    const Picture turned = apply(p["K2"], in, {{0, 3.14159265f}, {1, 0.0f}});
    int worst = 0;
    for (int y = 4; y < kSize - 4; ++y)
        for (int x = 4; x < kSize - 4; ++x)
            worst = std::max(worst, pixel_difference(turned.pixel(x, y), in.pixel(kSize - 1 - x, kSize - 1 - y)));
    EXPECT_LE(worst, 2);
}

TEST_F(PostProcPixelsTest, KaleidoscopeReadsNothingOutsideItsSourceArea) {
    // The frame loop draws the scenes only inside the area: what lies
    // outside it must not reach the picture. A card of another size than the
    // square, with white outside the area, draws what the card alone draws.
    Effects::PostProc& pass = passes()["Kaleidoscope"];
    const int width = 96, height = 54;
    const Picture in = card(width, height);
    struct Case {
        float rotation, divisions;
        int most_pixels;  // the area's size at most, in pixels
    };
    const Case cases[] = {
        {0.0f, 0.0f, width * height}, {0.7f, 0.5f, width * height}, {0.0f, 1.0f, width * height},
        {2.0f, 2.0f, width * height / 3},  {-1.0f, 4.0f, width * height / 3}, {3.0f, 6.0f, width * height / 4},
        {0.3f, 7.5f, width * height / 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "rotation " << c.rotation << ", divisions " << c.divisions);
        pass.set_param(1, c.divisions);
        const ViewportRect area = pass.source_area(width, height);
        EXPECT_LE(area.width * area.height, c.most_pixels);
        const Picture outside_white = white_outside(in, area);
        const std::vector<std::pair<int, float>> params = {{0, c.rotation}, {1, c.divisions}};
        EXPECT_EQ(max_difference(apply(pass, outside_white, params), apply(pass, in, params)), 0);
    }
}

TEST_F(PostProcPixelsTest, SubdivTilesShiftsAndTurnsThePicture) {
    Effects::PostProc& subdiv = passes()["Subdiv"];
    const Picture in = card();
    // N (2, 2): four copies at half size.
    const Picture tiles = apply(subdiv, in);
    int worst = 0;
    for (int y = 0; y < kSize / 2; ++y)
        for (int x = 0; x < kSize / 2; ++x) {
            worst = std::max(worst, pixel_difference(tiles.pixel(x, y), tiles.pixel(x + 32, y)));
            worst = std::max(worst, pixel_difference(tiles.pixel(x, y), tiles.pixel(x, y + 32)));
        }
    EXPECT_LE(worst, 1);
    EXPECT_NEAR(tiles.at(10, 3, 0), in.at(20, 0, 0) + 2, 2);
    EXPECT_NEAR(tiles.at(10, 3, 1), in.at(0, 6, 1) + 2, 2);

    // Off shifts the one copy by half a picture, wrapping around.
    const Picture shifted = apply(subdiv, in, {{0, 1}, {1, 1}, {2, 0.5f}, {3, 0.0f}});
    worst = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            worst = std::max(worst, pixel_difference(shifted.pixel(x, y), in.pixel((x + 32) % kSize, y)));
    EXPECT_LE(worst, 1);

    // Rot turns it about RotOff: a quarter turn about the centre.
    const Picture turned = apply(subdiv, in, {{2, 0.0f}, {4, 1.5707963f}, {5, 0.5f}, {6, 0.5f}});
    worst = 0;
    for (int y = 1; y < kSize - 1; ++y)
        for (int x = 1; x < kSize - 1; ++x)
            worst = std::max(worst, pixel_difference(turned.pixel(x, y), in.pixel(kSize - 1 - y, x)));
    EXPECT_LE(worst, 2);
}

TEST_F(PostProcPixelsTest, SubdivReadsNothingOutsideItsSourceArea) {
    // As for the kaleidoscope: white outside the area must not reach the
    // picture. One tile inside the picture reads only its rectangle; tiles
    // that wrap, or a turn, read all of it.
    Effects::PostProc& pass = passes()["Subdiv"];
    const int width = 96, height = 54;
    const Picture in = card(width, height);
    struct Case {
        float nx, ny, off_x, off_y, rot;
        int most_pixels;  // the area's size at most, in pixels
    };
    const Case cases[] = {
        // The tile's pixels and two more each way.
        {0.9f, 0.9f, 0.05f, 0.0f, 0.0f, 92 * 51}, {0.5f, 0.25f, 0.25f, 0.7f, 0.0f, 52 * 19},
        {-0.5f, 0.5f, 0.75f, 0.0f, 0.0f, 52 * 29}, {2.0f, 2.0f, 0.0f, 0.0f, 0.0f, width * height},
        {1.0f, 1.0f, 0.0f, 0.0f, 0.0f, width * height}, {0.9f, 0.9f, -0.05f, 0.0f, 0.0f, width * height},
        {0.9f, 0.9f, 0.05f, 0.0f, 0.3f, width * height},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "N " << c.nx << ", " << c.ny << ", Off " << c.off_x << ", " << c.off_y
                                        << ", Rot " << c.rot);
        const std::vector<std::pair<int, float>> params = {{0, c.nx}, {1, c.ny},    {2, c.off_x}, {3, c.off_y},
                                                           {4, c.rot}, {5, 0.5f}, {6, 0.5f}};
        for (const auto& param : params) pass.set_param(param.first, param.second);
        const ViewportRect area = pass.source_area(width, height);
        EXPECT_LE(area.width * area.height, c.most_pixels);
        const Picture outside_white = white_outside(in, area);
        EXPECT_EQ(max_difference(apply(pass, outside_white, params), apply(pass, in, params)), 0);
    }
}

TEST_F(PostProcPixelsTest, SubdivDrawingPartOfThePictureReadsOnlyWhatThatPartTurnsTo) {
    // The frame loop draws a pass only where the next one reads, and the
    // scenes only where the first pass reads for that: a turned picture
    // drawn only inside a rectangle reads only that rectangle turned, on
    // each axis where it does not wrap. White outside the area read must
    // not reach the drawn part.
    Effects::PostProc& pass = passes()["Subdiv"];
    const int width = 96, height = 54;
    const Picture in = card(width, height);
    const ViewportRect wedge{46, 25, 50, 24};   // the six-fold kaleidoscope's area at this size
    const ViewportRect middle{40, 20, 16, 14};  // a small part about the centre
    struct Case {
        ViewportRect drawn;
        float nx, ny, rot;
        int most_pixels;  // the area's size at most, in pixels
    };
    const Case cases[] = {
        // Turned so that the wedge stays inside the picture: its box turned.
        {wedge, 1.0f, 1.0f, 0.2f, 60 * 32}, {wedge, 1.0f, 1.0f, -1.4f, 54 * 34},
        // The wedge turned past the right edge: every column, not every row.
        {wedge, 1.0f, 1.0f, -0.6f, width * 40}, {wedge, 1.0f, 1.0f, 0.1f, width * 32},
        // Unturned: the drawn part itself, and two pixels round it; turned
        // about the centre, its box turned.
        {middle, 1.0f, 1.0f, 0.0f, 20 * 18}, {middle, 1.0f, 1.0f, 2.5f, 32 * 22},
        // Two tiles: the middle reads across the seam between them.
        {middle, 2.0f, 2.0f, 0.0f, width * height},
        {{0, 0, width, height}, 1.0f, 1.0f, 0.3f, width * height},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "drawn " << c.drawn.x << "," << c.drawn.y << " " << c.drawn.width
                                        << "x" << c.drawn.height << ", N " << c.nx << ", Rot " << c.rot);
        const std::vector<std::pair<int, float>> params = {{0, c.nx}, {1, c.ny},    {2, 0.0f}, {3, 0.0f},
                                                           {4, c.rot}, {5, 0.5f}, {6, 0.5f}};
        for (const auto& param : params) pass.set_param(param.first, param.second);
        const ViewportRect area = pass.source_area_for(c.drawn, width, height);
        EXPECT_LE(area.width * area.height, c.most_pixels);
        const Picture from_area = apply(pass, white_outside(in, area), params);
        const Picture from_all = apply(pass, in, params);
        int worst = 0;
        for (int y = c.drawn.y; y < c.drawn.y + c.drawn.height; ++y)
            for (int x = c.drawn.x; x < c.drawn.x + c.drawn.width; ++x)
                worst = std::max(worst, pixel_difference(from_area.pixel(x, y), from_all.pixel(x, y)));
        EXPECT_EQ(worst, 0);
    }
}

TEST_F(PostProcPixelsTest, NoiseAddsGrainThatMovesWithItsTime) {
    Effects::PostProc& noise = passes()["Noise"];
    const Picture grey = flat(128, 128, 128);
    const Picture half = apply(noise, grey, {{0, 0.5f}, {1, 0.0f}});
    EXPECT_GT(deviation_of(half, 1), 20.0);
    EXPECT_NEAR(mean_of(half, 1), 128.0, 8.0);
    const Picture full = apply(noise, grey, {{0, 1.0f}});
    EXPECT_GT(deviation_of(full, 1), deviation_of(half, 1) * 1.5);
    EXPECT_EQ(max_difference(apply(noise, grey, {{0, 0.5f}}), half), 0);
    EXPECT_GT(max_difference(apply(noise, grey, {{0, 0.5f}, {1, 1.0f}}), half), 50);
}

TEST_F(PostProcPixelsTest, VhsShiftsRowsSplitsColoursAndRollsABand) {
    Effects::PostProc& vhs = passes()["VHS"];
    // A white stripe in the middle quarter of a wide black picture (the
    // shifts are fractions of the width: about 1.5 pixels here at Alpha 1).
    const int width = 256;
    const Picture in = Picture(width, kSize, [](int x, int) {
        const int v = (x >= 112 && x < 144) ? 255 : 0;
        return std::vector<int>{v, v, v, 255};
    });
    auto left_edge = [&](const Picture& p, int y) {
        int x = 0;
        while (x < width && p.at(x, y, 1) < 128) ++x;
        return x;
    };
    const Picture worn = apply(vhs, in, {{0, 1.0f}, {1, 0.0f}, {2, 0.0f}});
    std::set<int> edges;
    for (int y = 0; y < kSize; ++y) edges.insert(left_edge(worn, y));
    EXPECT_GE(edges.size(), 2u);
    int fringe = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < width; ++x) fringe = std::max(fringe, std::abs(worn.at(x, y, 0) - worn.at(x, y, 2)));
    EXPECT_GT(fringe, 100);
    EXPECT_GT(max_difference(apply(vhs, in, {{1, 0.5f}}), worn), 10);

    // The band: at Time 2 it sits across the middle rows, at Time 1 a quarter
    // of the way down from the top; the other rows stay as they were.
    auto band_rows = [&](float time) {
        const Picture plain = apply(vhs, in, {{1, time}, {2, 0.0f}});
        const Picture band = apply(vhs, in, {{2, 1.0f}});
        std::set<int> rows;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < width; ++x)
                if (pixel_difference(plain.pixel(x, y), band.pixel(x, y)) > 10) rows.insert(y);
        return rows;
    };
    const std::set<int> middle = band_rows(2.0f);
    ASSERT_FALSE(middle.empty());
    EXPECT_GE(*middle.begin(), 28);
    EXPECT_LE(*middle.rbegin(), 35);
    const std::set<int> higher = band_rows(1.0f);
    ASSERT_FALSE(higher.empty());
    EXPECT_GE(*higher.begin(), 44);
    EXPECT_LE(*higher.rbegin(), 51);
}

}  // namespace
