#include "support/gl_context.h"
#include "system/zemblasystem.h"
#include "util/data/data.h"
#include "util/data/loadingscreen.h"

namespace {

class LoadingScreenGl : public test_support::GlTest {
protected:
    void TearDown() override {
        DataFile::reset();
        LoadingScreen::reset();
        ZemblaSystem::fade_time_ms = saved_fade_;
        ZemblaSystem::loading_screen = saved_style_;
    }
    int saved_fade_ = ZemblaSystem::fade_time_ms;
    int saved_style_ = ZemblaSystem::loading_screen;
};

TEST_F(LoadingScreenGl, SetupTicksAndFadeOutDrawLetterBoxedWithoutErrors) {
    DataFile::reset();
    LoadingScreen::reset();
    DataFile::set_mode(DataFileMode::Read);
    ZemblaSystem::loading_screen = LoadingScreenStyle::Circles;
    ZemblaSystem::fade_time_ms = 30;

    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    LoadingScreen::setup(64, 64, 2.0f);
    EXPECT_NO_GL_ERROR();
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 16);
    EXPECT_EQ(viewport[2], 64);
    EXPECT_EQ(viewport[3], 32);
    std::vector<unsigned char> pixel = test_support::read_pixels(32, 32, 1, 1);
    EXPECT_EQ(pixel[0], 255);  // cleared with the colour the caller set

    LoadingScreen::fade_out();
    EXPECT_NO_GL_ERROR();
    EXPECT_TRUE(DataFile::loading_finished());
    EXPECT_EQ(LoadingScreen::progress_total(), 0);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
}

}  // namespace
