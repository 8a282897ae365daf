#include "util/data/loadingscreen.h"

#include <cstdlib>
#include <filesystem>

#include "data_fixture.h"
#include "system/zemblasystem.h"

namespace {

using data_test::DataLayerTest;
using data_test::ProcessExit;

TEST(ProgressFraction, ATotalOfZeroCountsAsNoProgress) {
    EXPECT_EQ(LoadingScreen::progress_fraction(0, 0), 0.0f);
    EXPECT_EQ(LoadingScreen::progress_fraction(3, 0), 0.0f);
    EXPECT_EQ(LoadingScreen::progress_fraction(150, 200), 0.75f);
    EXPECT_EQ(LoadingScreen::progress_fraction(200, 200), 1.0f);
    EXPECT_EQ(LoadingScreen::progress_fraction(0, 999), 0.0f);
}

class LoadingScreenTest : public DataLayerTest {
protected:
    LoadingScreenTest() { ZemblaSystem::loading_screen = LoadingScreenStyle::Circles; }
    ~LoadingScreenTest() override {
        ZemblaSystem::loading_screen = saved_style_;
        ZemblaSystem::fade_time_ms = saved_fade_;
    }
    int saved_style_ = ZemblaSystem::loading_screen;
    int saved_fade_ = ZemblaSystem::fade_time_ms;
};

TEST_F(LoadingScreenTest, SetupBlanksBothBuffersAndDrawsTheFirstFrame) {
    LoadingScreen::tick(1.0f, true);  // before set-up there is no window
    EXPECT_EQ(screen_.polls, 0);
    EXPECT_TRUE(screen_.draws.empty());

    LoadingScreen::setup(1920, 1200, 16.0f / 9.0f);
    EXPECT_EQ(screen_.clears, 2);
    EXPECT_EQ(screen_.presents, 3);
    ASSERT_EQ(screen_.draws.size(), 1u);
    EXPECT_EQ(screen_.draws[0].style, LoadingScreenStyle::Circles);
    EXPECT_EQ(screen_.draws[0].width, 1920);
    EXPECT_EQ(screen_.draws[0].height, 1080);
    ASSERT_EQ(screen_.viewports.size(), 1u);
    EXPECT_EQ(screen_.viewports[0].y, 60);
    EXPECT_EQ(LoadingScreen::next_redraw(), 1040u);
}

TEST_F(LoadingScreenTest, RedrawsAtMostEvery40Milliseconds) {
    set_up_screen();
    size_t draws = screen_.draws.size();
    screen_.now += 10;
    LoadingScreen::tick(1.0f, false);  // 10 ms later: only polls Escape
    EXPECT_EQ(screen_.polls, 1);
    EXPECT_EQ(screen_.draws.size(), draws);
    EXPECT_EQ(screen_.drains, 1);
    screen_.now += 29;
    LoadingScreen::tick(1.0f, false);  // 39 ms
    EXPECT_EQ(screen_.draws.size(), draws);
    LoadingScreen::tick(0.5f, true);   // forced
    EXPECT_EQ(screen_.draws.size(), draws + 1);
    EXPECT_EQ(screen_.drains, 2);
    screen_.now += 40;
    LoadingScreen::tick(1.0f, false);
    EXPECT_EQ(screen_.draws.size(), draws + 2);
    EXPECT_EQ(screen_.presents, 2 + static_cast<int>(draws) + 2);
}

TEST_F(LoadingScreenTest, DiskModesCountRedrawsModulo999) {
    DataFile::set_mode(DataFileMode::Plain);
    set_up_screen();  // first redraw: 1
    screen_.now += 40;
    screen_.step = 40;
    for (int i = 0; i < 999; ++i) LoadingScreen::tick(1.0f, false);
    EXPECT_EQ(screen_.draws.back().done, 1000 % 999);
    EXPECT_EQ(screen_.draws.back().total, 999);
    EXPECT_EQ(screen_.draws[997].done, 998);
    EXPECT_EQ(screen_.draws[998].done, 0);
}

TEST_F(LoadingScreenTest, ReadModeCountsUsedEntries) {
    DataFile::set_mode(DataFileMode::Read);
    set_up_screen();  // the archive is not read yet: 0 of 0
    EXPECT_EQ(screen_.draws.back().done, 0);
    EXPECT_EQ(screen_.draws.back().total, 0);
    for (int i = 0; i < 200; ++i) {
        auto entry = std::make_unique<DataFileEntry>();
        entry->name = "data/" + std::to_string(i);
        entry->used = i < 150;
        DataFile::entries().push_back(std::move(entry));
    }
    LoadingScreen::tick(1.0f, true);
    EXPECT_EQ(screen_.draws.back().done, 150);
    EXPECT_EQ(screen_.draws.back().total, 200);
}

TEST_F(LoadingScreenTest, AWindowOfHeightZeroCountsAsOne) {
    LoadingScreen::setup(640, 0, 16.0f / 9.0f);
    EXPECT_EQ(LoadingScreen::height(), 1);
    EXPECT_EQ(screen_.draws.back().height, 1);
    EXPECT_EQ(screen_.draws.back().width, 1);
}

TEST_F(LoadingScreenTest, EscapeDeletesTheTemporaryFilesAndExits) {
    set_up_screen();
    // A staging file as the archive writer leaves it.
    DataFile::set_mode(DataFileMode::Write);
    data_test::write_file("data/a", "a");
    int32_t length = 0;
    std::free(DataFile::load("data/a", "rb", &length, false, false));
    testing::internal::CaptureStdout();
    DataFile::write_archive("data.tlx");
    testing::internal::GetCapturedStdout();
    ASSERT_FALSE(DataFile::temp_files().empty());
    const std::string staging = DataFile::temp_files()[0];
    ASSERT_TRUE(std::filesystem::exists(staging));

    // Escape held while a file loads, within 40 ms of the last redraw: the
    // process ends during that load.
    screen_.escape = true;
    size_t draws = screen_.draws.size();
    data_test::write_file("data/b", "b");
    try {
        std::free(DataFile::load("data/b", "rb", &length, false, false));
        ADD_FAILURE() << "no exit";
    } catch (const ProcessExit& e) {
        EXPECT_EQ(e.status, 1);
    }
    EXPECT_FALSE(std::filesystem::exists(staging));
    EXPECT_EQ(screen_.draws.size(), draws);

    // Once loading has finished Escape is no longer polled.
    DataFile::set_loading_finished(true);
    screen_.polls = 0;
    LoadingScreen::tick(1.0f, true);
    EXPECT_EQ(screen_.polls, 0);
}

TEST_F(LoadingScreenTest, AnUnknownStyleEndsTheRunAtTheFirstRedraw) {
    set_up_screen();
    ZemblaSystem::loading_screen = 3;
    screen_.now += 10;
    LoadingScreen::tick(1.0f, false);  // no redraw: nothing checked
    EXPECT_FATAL(LoadingScreen::tick(1.0f, true), "Unknown loading screen");
}

TEST_F(LoadingScreenTest, FadeOut) {
    struct Case {
        int fade_ms;
        std::vector<float> alphas;
    } cases[] = {
        {500, {1.0f, 0.8f, 0.6f, 0.4f, 0.2f, 0.0f, 0.0f}},
        {0, {0.0f, 0.0f}},
        {250, {1.0f, 0.6f, 0.2f, 0.0f, 0.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fade_ms);
        DataFile::reset();
        LoadingScreen::reset();
        screen_ = data_test::FakeScreen{};
        LoadingScreen::set_services(screen_.services());
        set_up_screen();
        screen_.draws.clear();
        screen_.advance_on_draw = 100;
        ZemblaSystem::fade_time_ms = c.fade_ms;
        LoadingScreen::fade_out();
        ASSERT_EQ(screen_.draws.size(), c.alphas.size());
        for (size_t i = 0; i < c.alphas.size(); ++i) EXPECT_NEAR(screen_.draws[i].alpha, c.alphas[i], 1e-6) << i;
        EXPECT_TRUE(DataFile::loading_finished());
        screen_.polls = 0;
        LoadingScreen::tick(1.0f, true);
        EXPECT_EQ(screen_.polls, 0);
    }
}

}  // namespace
