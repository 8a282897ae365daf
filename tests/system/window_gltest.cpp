// The real window on the virtual display: SDL's events as the loop sees
// them, the driver checks on this machine's GL, and the error restore.
#include "system/window.h"

#include <GL/glew.h>
#include <SDL.h>

#include "support/test_support.h"
#include "system/settings_guard.h"
#include "system/zemblasystem.h"

namespace {

class CountingFrames : public WindowClient {
public:
    void frame() override {
        ++frames;
        glClear(GL_COLOR_BUFFER_BIT);
        swap_buffers();
        if (frames == 1) on_first_frame();
    }
    std::function<void()> on_first_frame = [] {};
    int frames = 0;
};

void push_key(SDL_Keycode key) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.windowID = SDL_GetWindowID(ZemblaSystem::hWnd);
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    SDL_PushEvent(&event);
}

class WindowGlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZemblaSystem::title = "window test";
        ZemblaSystem::width = 160;
        ZemblaSystem::height = 90;
        ZemblaSystem::fullscreen = 0;
        ZemblaSystem::vsync = 0;
    }
    void TearDown() override {
        delete_gl_context();
        if (ZemblaSystem::hWnd) SDL_DestroyWindow(ZemblaSystem::hWnd);
        ZemblaSystem::hWnd = ZemblaSystem::hDC = nullptr;
        fatal::set_window_restore_hook(nullptr);
    }

    void open_window() {
        create_window();
        glewExperimental = GL_TRUE;
        ASSERT_EQ(glewInit(), static_cast<GLenum>(GLEW_OK));
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }

    test_support::SettingsGuard guard;
};

TEST_F(WindowGlTest, WindowHasACompatibilityContextWithEveryExtension) {
    open_window();
    ASSERT_NE(ZemblaSystem::hWnd, nullptr);
    EXPECT_EQ(ZemblaSystem::hDC, ZemblaSystem::hWnd);
    ASSERT_NE(ZemblaSystem::hRC, nullptr);
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(ZemblaSystem::hWnd, &w, &h);
    EXPECT_EQ(w, 160);
    EXPECT_EQ(h, 90);
    int profile = 0;
    SDL_GL_GetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, &profile);
    EXPECT_NE(profile, SDL_GL_CONTEXT_PROFILE_CORE);
    EXPECT_TRUE(missing_extensions().empty());
    EXPECT_EQ(required_extension_names().size(), 14u);
    test_support::clear_boxes();
    check_extensions();  // nothing missing: no question
    EXPECT_TRUE(test_support::recorded_boxes().empty());
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
}

TEST_F(WindowGlTest, SampleCountAboveTheDriversIsLowered) {
    open_window();
    GLint max = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &max);
    ASSERT_GE(max, 1);
    ZemblaSystem::samples = max * 2;
    testing::internal::CaptureStdout();
    clamp_samples_to_driver();
    std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(ZemblaSystem::samples, max);
    EXPECT_NE(log.find("more than the driver offers"), std::string::npos) << log;

    testing::internal::CaptureStdout();
    clamp_samples_to_driver();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(WindowGlTest, EscapeFromTheRealQueueEndsTheLoop) {
    open_window();
    CountingFrames frames;
    frames.on_first_frame = [] {
        push_key(SDLK_ESCAPE);
        push_key(SDLK_a);  // queued before the quit: still handled
    };
    run_message_loop(&frames);
    EXPECT_EQ(frames.frames, 1);

    // Closing the window ends it the same way.
    CountingFrames again;
    again.on_first_frame = [] {
        SDL_Event close{};
        close.type = SDL_WINDOWEVENT;
        close.window.event = SDL_WINDOWEVENT_CLOSE;
        close.window.windowID = SDL_GetWindowID(ZemblaSystem::hWnd);
        SDL_PushEvent(&close);
    };
    run_message_loop(&again);
    EXPECT_EQ(again.frames, 1);
}

TEST_F(WindowGlTest, LoadingScreenSeesEscapeAndDrainsTheRest) {
    EXPECT_FALSE(window_escape_pressed());  // no window yet
    open_window();
    EXPECT_FALSE(window_escape_pressed());
    push_key(SDLK_ESCAPE);
    EXPECT_TRUE(window_escape_pressed());
    EXPECT_TRUE(window_escape_pressed());  // looking does not take it away

    SDL_Event resize{};
    resize.type = SDL_WINDOWEVENT;
    resize.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
    resize.window.data1 = 300;
    resize.window.data2 = 200;
    SDL_PushEvent(&resize);
    window_drain_messages();
    EXPECT_FALSE(window_escape_pressed());
    EXPECT_EQ(window_procedure().client_width(), 300);
    EXPECT_EQ(window_procedure().client_height(), 200);
}

TEST_F(WindowGlTest, FullScreenNeedsAModeTheDisplayOffers) {
    ZemblaSystem::fullscreen = 1;
    ZemblaSystem::width = 1234;
    ZemblaSystem::height = 567;
    EXPECT_FATAL(create_window(), "Failed to set fullscreen mode");
    EXPECT_EQ(ZemblaSystem::hWnd, nullptr);
}

TEST_F(WindowGlTest, ErrorRestoreGivesAnOrdinaryWindow) {
    open_window();
    restore_window_for_error();
    int w = 0, h = 0;
    SDL_GetWindowSize(ZemblaSystem::hWnd, &w, &h);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    EXPECT_EQ(SDL_GetWindowFlags(ZemblaSystem::hWnd) & SDL_WINDOW_FULLSCREEN, 0u);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

}  // namespace
