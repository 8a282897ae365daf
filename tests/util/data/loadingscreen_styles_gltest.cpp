// The loading-screen styles as the tick draws them, read back from a render
// target of 400 x 225 pixels (16:9, so the letter-box fills it) unless a
// test says otherwise.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/gl_context.h"
#include "support/gl_frame.h"
#include "support/test_support.h"
#include "system/zemblasystem.h"
#include "util/data/data.h"
#include "util/data/loadingscreen.h"
#include "util/data/loadingscreen_styles.h"
#include "util/fbo/fbo.h"

namespace {

constexpr float kAspect = 16.0f / 9.0f;

using test_support::Frame;
using test_support::Rgba;

// A PNG of `width` x `height`: the left half red, the right half blue.
void write_red_blue_logo(const std::string& path, int width, int height) {
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
            bool left = x < width / 2;
            p[0] = left ? 255 : 0;
            p[1] = 0;
            p[2] = left ? 0 : 255;
            p[3] = 255;
        }
    ASSERT_TRUE(test_support::write_png(path, width, height, 4, rgba.data(), false));
}

// A loading screen set up on a render target of its own, in Read mode over
// an archive table of `entries` entries, in an empty working folder.
class LoadingStyles : public test_support::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        DataFile::reset();
        LoadingScreen::reset();
        std::filesystem::create_directory("data");
    }
    void TearDown() override {
        if (target_) target_->pop();
        target_.reset();
        DataFile::reset();
        LoadingScreen::reset();
        ZemblaSystem::loading_screen = saved_style_;
        ZemblaSystem::fade_time_ms = saved_fade_;
        ZemblaSystem::logo_file = saved_logo_;
        glDisable(GL_BLEND);
        EXPECT_NO_GL_ERROR();
    }

    // Back to a fresh screen and data layer, for the next case of a table.
    void start_over() {
        TearDown();
        SetUp();
    }

    // Sets the screen up in a window of width x height drawn into a target
    // of that size, with `total` archive entries, none used yet.
    void set_up(int style, int total, int width = 400, int height = 225) {
        ZemblaSystem::loading_screen = style;
        DataFile::set_mode(DataFileMode::Read);
        for (int i = 0; i < total; ++i) {
            auto entry = std::make_unique<DataFileEntry>();
            entry->name = "data/entry" + std::to_string(i);
            DataFile::entries().push_back(std::move(entry));
        }
        width_ = width;
        height_ = height;
        target_ = std::make_unique<FBO>(width, height, FBO_TYPE_RGBA8, 0);
        target_->push(true);
        LoadingScreen::setup(width, height, kAspect);
    }

    // The logo named by the production, read from the disk.
    void load_test_logo() {
        write_red_blue_logo("data/logo.png", 32, 18);
        ZemblaSystem::logo_file = "data/logo.png";
        DataFile::set_mode(DataFileMode::Plain);
        LoadingScreen::load_logo();
        DataFile::set_mode(DataFileMode::Read);
    }

    void use(int done) {
        for (int i = 0; i < static_cast<int>(DataFile::entries().size()); ++i)
            DataFile::entries()[i]->used = i < done;
    }

    // A forced redraw with `done` entries used.
    Frame draw(int done, float alpha = 1.0f) {
        use(done);
        LoadingScreen::tick(alpha, true);
        EXPECT_NO_GL_ERROR();
        return Frame(width_, height_);
    }

    int width_ = 0, height_ = 0;
    std::unique_ptr<FBO> target_;
    test_support::TempDir dir_;
    test_support::ScopedChdir chdir_{dir_.path()};
    int saved_style_ = ZemblaSystem::loading_screen;
    int saved_fade_ = ZemblaSystem::fade_time_ms;
    std::string saved_logo_ = ZemblaSystem::logo_file;
};

// Pixel columns of the bar in the 400-pixel-wide viewport: the frame runs
// from x = 40 to 360 with 2-pixel borders; its inside is rows 14..20.
constexpr int kBarRow = 17;
constexpr int kFrameLeft = 40;
constexpr int kFrameWidth = 320;

TEST_F(LoadingStyles, ProgressBarFillGrowsWithTheTicks) {
    set_up(LoadingScreenStyle::ProgressBar, 200);
    for (int done : {0, 100, 200}) {
        SCOPED_TRACE(done);
        Frame frame = draw(done);
        frame.keep("progress-bar-" + std::to_string(done));
        int fill_end = kFrameLeft + kFrameWidth * done / 200;
        // The frame, white on black.
        EXPECT_TRUE(frame.is_white(200, 21));
        EXPECT_TRUE(frame.is_white(200, 12));
        EXPECT_TRUE(frame.is_white(39, kBarRow));
        EXPECT_TRUE(frame.is_white(360, kBarRow));
        EXPECT_TRUE(frame.is_black(200, 100));
        EXPECT_TRUE(frame.is_black(36, kBarRow));
        EXPECT_TRUE(frame.is_black(364, kBarRow));
        // The fill ends where the progress says.
        if (done > 0) {
            EXPECT_TRUE(frame.is_white(fill_end - 3, kBarRow));
        }
        if (done < 200) {
            EXPECT_TRUE(frame.is_black(fill_end + 3, kBarRow));
        }
    }
}

TEST_F(LoadingStyles, ProgressBarDrawsTheLogoOverTheLetterBoxedViewport) {
    // A 4:3 window: the 16:9 viewport is 400 x 225 at (0, 37).
    set_up(LoadingScreenStyle::ProgressBar, 200, 400, 300);
    load_test_logo();
    Frame frame = draw(100);
    frame.keep("progress-bar-logo");
    const int bottom = 37;
    // Bars of black above and below the viewport.
    EXPECT_EQ(frame.brightest_in_rows(0, bottom - 1), 0);
    EXPECT_EQ(frame.brightest_in_rows(bottom + 226, 300), 0);
    // The logo fills the viewport: red on the left, blue on the right.
    for (int y : {bottom + 1, bottom + 112, bottom + 223}) {
        SCOPED_TRACE(y);
        Rgba left = frame.at(100, y), right = frame.at(300, y);
        EXPECT_EQ(left.r, 255);
        EXPECT_EQ(left.b, 0);
        EXPECT_EQ(right.r, 0);
        EXPECT_EQ(right.b, 255);
    }
    EXPECT_EQ(frame.at(2, bottom + 100).r, 255);
    EXPECT_EQ(frame.at(397, bottom + 100).b, 255);
    // The bar over it: filled up to the middle, the logo showing through
    // the rest of its frame.
    EXPECT_TRUE(frame.is_white(150, bottom + kBarRow));
    EXPECT_TRUE(frame.is_white(300, bottom + 21));
    EXPECT_EQ(frame.at(300, bottom + kBarRow).b, 255);
    EXPECT_EQ(frame.at(300, bottom + kBarRow).g, 0);
}

TEST_F(LoadingStyles, ProgressBarDarkensWithAlphaOnlyPastHalfTheProgress) {
    set_up(LoadingScreenStyle::ProgressBar, 200);
    load_test_logo();
    struct Case {
        int done;
        float alpha;
        int expected;  // brightness of the logo's red and of the bar
    };
    for (const Case& c : {Case{100, 0.5f, 255}, Case{150, 0.5f, 128}, Case{150, 1.0f, 255},
                          Case{200, 0.25f, 64}, Case{200, 0.0f, 0}, Case{0, 0.0f, 255}}) {
        SCOPED_TRACE(std::to_string(c.done) + " at " + std::to_string(c.alpha));
        Frame frame = draw(c.done, c.alpha);
        EXPECT_NEAR(frame.at(100, 150).r, c.expected, 1);
        EXPECT_NEAR(frame.at(200, 21).g, c.expected, 1);
        EXPECT_EQ(frame.at(100, 150).g, 0);
    }
}

TEST_F(LoadingStyles, ProgressBarWithAnEmptyLogoNameDrawsABlackLogo) {
    set_up(LoadingScreenStyle::ProgressBar, 200);
    ZemblaSystem::logo_file = "";
    LoadingScreen::load_logo();
    ASSERT_NE(LoadingScreen::logo(), nullptr);
    EXPECT_EQ(LoadingScreen::logo()->get_id(), 0u);
    Frame frame = draw(200);
    EXPECT_TRUE(frame.is_black(200, 100));
    EXPECT_TRUE(frame.is_white(200, kBarRow));
}

// Where the ring starts, right of the glow's centre at (40, 22.5) in the
// 400 x 225 viewport: inside the ring the screen is black.
int ring_edge(const Frame& frame) {
    for (int x = 40; x < 400; ++x)
        if (!frame.is_black(x, 22)) return x;
    return -1;
}

TEST_F(LoadingStyles, CirclesRingWidensWithTheProgress) {
    set_up(LoadingScreenStyle::Circles, 200);
    EXPECT_EQ(draw(0).brightest(), 0);  // no progress, no glow

    // The ring's radius is progress x 0.035 of the width: 7 pixels at
    // half, 14 at the end.
    Frame half = draw(100);
    Frame full = draw(200);
    half.keep("circles-100");
    full.keep("circles-200");
    EXPECT_NEAR(ring_edge(half), 40 + 7, 1);
    EXPECT_NEAR(ring_edge(full), 40 + 14, 1);
    EXPECT_EQ(full.at(40 + 15, 22).brightest(), 255);
    EXPECT_TRUE(full.is_black(40, 22));
    // Dimmer further out, and brighter there as the progress grows.
    const int far = 100;
    EXPECT_GT(full.at(far, 22).brightest(), 0);
    EXPECT_LT(full.at(far, 22).brightest(), 64);
    EXPECT_LT(half.at(far, 22).brightest(), full.at(far, 22).brightest());

    // Alpha scales the colour and the blend's source alpha.
    Frame faded = draw(200, 0.5f);
    EXPECT_NEAR(faded.at(far, 22).brightest(), full.at(far, 22).brightest() / 4, 2);
    EXPECT_EQ(draw(200, 0.0f).brightest(), 0);
}

TEST_F(LoadingStyles, ATotalOfZeroDrawsAsNoProgress) {
    // An archive without entries; the frame must equal that of 0 of 200.
    for (int style : {LoadingScreenStyle::ProgressBar, LoadingScreenStyle::Circles}) {
        SCOPED_TRACE(style);
        set_up(style, 0);
        Frame empty = draw(0);
        EXPECT_EQ(LoadingScreen::progress_total(), 0);
        if (style == LoadingScreenStyle::Circles) {
            // The glow's progress, as the program that drew it holds it.
            GLint program = 0;
            glGetIntegerv(GL_CURRENT_PROGRAM, &program);
            GLfloat progress = -1.0f;
            glGetUniformfv(program, glGetUniformLocation(program, "Progress"), &progress);
            EXPECT_EQ(progress, 0.0f);
        }
        start_over();
        set_up(style, 200);
        EXPECT_TRUE(draw(0) == empty);
        start_over();
    }
}

// The ASCII screen sits at 4:3 in the middle of the 400 x 225 viewport:
// 300 x 225 from x = 50, each cell 3.75 x 4.5 pixels, so the bar's rows
// 44-46 are pixel rows 14-26 counted from the bottom.
TEST_F(LoadingStyles, AsciiStyleShowsABarOfShadesThatGrowsAndNeverShrinks) {
    set_up(LoadingScreenStyle::Ascii, 200);
    auto rightmost_lit = [](const Frame& f) {
        int right = -1;
        for (int y = 14; y <= 26; ++y)
            for (int x = 0; x < 400; ++x)
                if (!f.is_black(x, y)) right = std::max(right, x);
        return right;
    };
    struct Case {
        int done;
        int cells;
    };
    for (const Case& c : {Case{0, 1}, Case{150, 3}, Case{200, 4}, Case{0, 4}}) {
        SCOPED_TRACE(c.done);
        Frame frame = draw(c.done);
        frame.keep("ascii-" + std::to_string(c.done));
        // Only the bar is lit: from the screen's left edge, in its rows.
        EXPECT_EQ(frame.brightest_in_rows(0, 13), 0);
        EXPECT_EQ(frame.brightest_in_rows(28, 225), 0);
        for (int y = 14; y <= 26; ++y) EXPECT_TRUE(frame.is_black(48, y));
        EXPECT_GT(frame.at(51, 20).brightest(), 64);
        const float end = 50 + 3.75f * c.cells;
        EXPECT_NEAR(rightmost_lit(frame), end, 2.0f);
    }
}

// The fade-out from full progress: every frame no brighter than the one
// before, and the last one black.
TEST_F(LoadingStyles, FadeOutEndsAtBlack) {
    for (int style : {LoadingScreenStyle::ProgressBar, LoadingScreenStyle::Circles}) {
        SCOPED_TRACE(style);
        set_up(style, 200);
        if (style == LoadingScreenStyle::ProgressBar) load_test_logo();
        use(200);
        ZemblaSystem::fade_time_ms = 150;

        std::vector<int> brightness;
        LoadingScreen::Services services = LoadingScreen::default_services();
        services.draw = [&](int s, float alpha, int w, int h, int done, int total) {
            LoadingScreen::draw_style(s, alpha, w, h, done, total);
            brightness.push_back(Frame(width_, height_).brightest());
        };
        LoadingScreen::set_services(services);
        LoadingScreen::fade_out();
        EXPECT_TRUE(DataFile::loading_finished());

        ASSERT_GE(brightness.size(), 3u);
        EXPECT_GT(brightness.front(), 128);
        for (size_t i = 1; i < brightness.size(); ++i) EXPECT_LE(brightness[i], brightness[i - 1]) << i;
        EXPECT_EQ(brightness.back(), 0);
        EXPECT_EQ(Frame(width_, height_).brightest(), 0);
        start_over();
    }
}

}  // namespace
