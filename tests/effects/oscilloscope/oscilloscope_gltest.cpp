// The audio displays drawn: the oscilloscope's lines in its own target and
// the spectrum strip in the bound one, with the music on its timer, where
// the waveform and spectrum are silence.
#include "effects/oscilloscope/oscilloscope.h"
#include "effects/effects_gl_fixture.h"
#include "util/fbo/fbo.h"

namespace {

using test_support::Frame;

// The rows holding a lit pixel in column x.
std::vector<int> lit_rows(const Frame& f, int x) {
    std::vector<int> rows;
    for (int y = 0; y < f.height(); ++y)
        if (f.at(x, y).brightest() > 0) rows.push_back(y);
    return rows;
}

class AudioDisplaysTest : public effects_test::EffectsGlTest {};

TEST_F(AudioDisplaysTest, TheOscilloscopeDrawsItsDefaultYellowLineAcrossTheMiddle) {
    Effects::Oscilloscope scope(music.get(), 64, 64);
    scope.render(0.0f);
    EXPECT_NO_GL_ERROR();
    EXPECT_EQ(scope.line_count(), 1u);
    FBO* fbo = scope.get_fbo();
    fbo->push(false);
    const Frame f(64, 64);
    f.keep("oscilloscope_silence");
    fbo->pop();
    // Silence: y = 0, the middle of -1..1, two pixels wide.
    for (int x : {2, 32, 60}) {
        const std::vector<int> rows = lit_rows(f, x);
        ASSERT_FALSE(rows.empty()) << x;
        EXPECT_GE(rows.front(), 30);
        EXPECT_LE(rows.back(), 33);
        const test_support::Rgba c = f.at(x, rows.front());
        EXPECT_EQ(c.r, 255);
        EXPECT_EQ(c.g, 255);
        EXPECT_EQ(c.b, 0);
    }
}

TEST_F(AudioDisplaysTest, EachLineSitsAtItsOffsetInItsColour) {
    Effects::Oscilloscope scope(music.get(), 64, 64);
    scope.add_line(512, vec4(0, 1, 0, 1), 0.5f);
    scope.add_line(511, vec4(1, 0, 1, 1), -0.5f);  // odd: the last sample is not read
    scope.render(0.0f);
    scope.render(0.0f);  // cleared again, not drawn twice over
    EXPECT_NO_GL_ERROR();
    FBO* fbo = scope.get_fbo();
    fbo->push(false);
    const Frame f(64, 64);
    f.keep("oscilloscope_two_lines");
    fbo->pop();
    const std::vector<int> rows = lit_rows(f, 20);
    ASSERT_FALSE(rows.empty());
    // -0.5 at a quarter of the height, 0.5 at three quarters.
    EXPECT_NEAR(rows.front(), 15.5, 2);
    EXPECT_NEAR(rows.back(), 47.5, 2);
    EXPECT_EQ(f.at(20, rows.back()).g, 255);
    EXPECT_EQ(f.at(20, rows.back()).r, 0);
    EXPECT_EQ(f.at(20, rows.front()).r, 255);
    EXPECT_EQ(f.at(20, 32).brightest(), 0) << "no default line once lines were added";
}

TEST_F(AudioDisplaysTest, AnAllocationThatCannotBeMadeEndsTheRun) {
    Effects::Oscilloscope scope(music.get(), 8, 8);
    EXPECT_FATAL(scope.add_line(-2, vec4(1, 1, 1, 1), 0.0f), "tempbuf is NULL");
}

TEST_F(AudioDisplaysTest, SilentSpectrumLiesAlongTheBottom) {
    FBO target(56, 32, FBO_TYPE_RGBA8, 0);
    target.push(true);
    Effects::SpectrumBands bands(music.get());
    bands.render(0.0f);
    EXPECT_NO_GL_ERROR();
    const Frame f(56, 32);
    f.keep("spectrum_silence");
    target.pop();
    for (int x : {1, 28, 54}) {
        const std::vector<int> rows = lit_rows(f, x);
        ASSERT_FALSE(rows.empty()) << x;
        EXPECT_LE(rows.back(), 1) << x;
        EXPECT_TRUE(f.is_white(x, rows.front())) << x;
    }
}

}  // namespace
