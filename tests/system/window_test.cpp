#include "system/window.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "system/settings_guard.h"
#include "system/zemblasystem.h"

namespace {

// A queue of events that the test fills, with the posted quit queued behind
// whatever is pending, as on the real window.
class ScriptedEvents : public EventSource {
public:
    bool poll(WindowEvent& event) override {
        if (queue.empty()) return false;
        event = queue.front();
        queue.pop_front();
        return true;
    }
    void post_quit() override { queue.push_back(make(WindowEvent::QuitPosted)); }
    void warp_mouse(int x, int y) override { warps.push_back({x, y}); }

    static WindowEvent make(WindowEvent::Type type, int key = 0, int x = 0, int y = 0) {
        WindowEvent event;
        event.type = type;
        event.key = key;
        event.x = x;
        event.y = y;
        return event;
    }
    static WindowEvent key_down(int key) { return make(WindowEvent::KeyDown, key); }

    std::deque<WindowEvent> queue;
    std::vector<std::pair<int, int>> warps;
};

// Records what reaches it; `on_frame` lets a test act during frame n.
class RecordingClient : public WindowClient {
public:
    void frame() override {
        ++frames;
        if (on_frame) on_frame(frames);
    }
    void set_fullscreen(bool on) override { log.push_back(on ? "fullscreen on" : "fullscreen off"); }
    void resize(int w, int h) override { log.push_back("resize " + std::to_string(w) + "x" + std::to_string(h)); }
    void on_key_down(int key) override { log.push_back("down " + std::to_string(key)); }
    void on_key_up(int key) override { log.push_back("up " + std::to_string(key)); }
    void on_f12() override { log.push_back("f12"); }
    void on_mouse_move(int x, int y) override {
        log.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    }
    void on_mouse_button(int button, bool down) override {
        log.push_back("button " + std::to_string(button) + (down ? " down" : " up"));
    }
    void on_mouse_wheel(int delta) override { log.push_back("wheel " + std::to_string(delta)); }
    bool is_mouse_captured() const override { return captured; }

    int frames = 0;
    bool captured = false;
    std::function<void(int)> on_frame;
    std::vector<std::string> log;
};

class MessageLoopTest : public ::testing::Test {
protected:
    void SetUp() override { ZemblaSystem::fullscreen = 0; }

    test_support::SettingsGuard guard;
    ScriptedEvents events;
    WindowProcedure procedure{events};
    RecordingClient client;
};

TEST_F(MessageLoopTest, EscapeEndsTheLoopAfterThatFramesEvents) {
    client.on_frame = [&](int frame) {
        if (frame == 3) {
            events.queue.push_back(ScriptedEvents::key_down(27));
            events.queue.push_back(ScriptedEvents::key_down('A'));
        }
    };
    procedure.run_message_loop(&client);
    EXPECT_EQ(client.frames, 3);
    // The key queued before the quit is still handled; Escape itself reaches
    // no hook.
    EXPECT_EQ(client.log, (std::vector<std::string>{"fullscreen off", "down 65"}));
    EXPECT_TRUE(events.queue.empty());
}

TEST_F(MessageLoopTest, EventsBehindAPostedQuitStayUnread) {
    ZemblaSystem::fullscreen = 1;
    client.on_frame = [&](int) {
        events.post_quit();
        events.queue.push_back(ScriptedEvents::key_down('B'));
    };
    procedure.run_message_loop(&client);
    EXPECT_EQ(client.frames, 1);
    EXPECT_EQ(client.log, (std::vector<std::string>{"fullscreen on"}));
    ASSERT_EQ(events.queue.size(), 1u);
    EXPECT_EQ(events.queue.front().key, 'B');
}

TEST_F(MessageLoopTest, ClosingTheWindowEndsTheLoop) {
    client.on_frame = [&](int frame) {
        if (frame == 2) events.queue.push_back(ScriptedEvents::make(WindowEvent::Close));
    };
    procedure.run_message_loop(&client);
    EXPECT_EQ(client.frames, 2);
}

TEST_F(MessageLoopTest, OtherEventsKeepTheLoopGoing) {
    client.on_frame = [&](int frame) {
        if (frame == 1) {
            events.queue.push_back(ScriptedEvents::key_down(123));
            events.queue.push_back(ScriptedEvents::key_down(0x141));
            events.queue.push_back(ScriptedEvents::make(WindowEvent::KeyUp, 'C'));
            events.queue.push_back(ScriptedEvents::make(WindowEvent::MouseMove, 0, 10, 20));
            WindowEvent button = ScriptedEvents::make(WindowEvent::MouseButton);
            button.button = 2;
            button.down = true;
            events.queue.push_back(button);
            WindowEvent wheel = ScriptedEvents::make(WindowEvent::MouseWheel);
            wheel.delta = -120;
            events.queue.push_back(wheel);
        }
        if (frame == 4) events.queue.push_back(ScriptedEvents::key_down(27));
    };
    procedure.run_message_loop(&client);
    EXPECT_EQ(client.frames, 4);
    EXPECT_EQ(client.log, (std::vector<std::string>{"fullscreen off", "f12", "down 65", "up 67",
                                                    "move 10,20", "button 2 down", "wheel -120"}));
}

TEST_F(MessageLoopTest, SizesAreForwardedOnlyWhileTheLoopRunsAndNeverEmpty) {
    // Before the loop (window creation, loading): stored, not forwarded.
    procedure.handle(ScriptedEvents::make(WindowEvent::Resize, 0, 800, 600));
    procedure.handle(ScriptedEvents::key_down('A'));
    EXPECT_EQ(procedure.client_width(), 800);
    EXPECT_EQ(procedure.client_height(), 600);

    client.on_frame = [&](int frame) {
        if (frame == 1) {
            events.queue.push_back(ScriptedEvents::make(WindowEvent::Resize, 0, 640, 360));
            // Minimised: nothing to draw into, so the scenes keep their size.
            events.queue.push_back(ScriptedEvents::make(WindowEvent::Resize, 0, 0, 0));
        }
        if (frame == 2) events.post_quit();
    };
    procedure.run_message_loop(&client);
    EXPECT_EQ(client.frames, 2);
    EXPECT_EQ(client.log, (std::vector<std::string>{"fullscreen off", "resize 640x360"}));
    EXPECT_EQ(procedure.client_width(), 0);
}

// The client is borrowed for the loop: once it ends, by a quit or by a
// fatal error in a frame, events (a later drain, a next loop's window)
// reach no client, which may be gone by then.
TEST_F(MessageLoopTest, TheClientIsForgottenWhenTheLoopEnds) {
    const auto after_the_loop = [&](RecordingClient& ended) {
        const std::vector<std::string> log = ended.log;
        procedure.handle(ScriptedEvents::make(WindowEvent::Resize, 0, 320, 180));
        procedure.handle(ScriptedEvents::key_down('A'));
        procedure.handle(ScriptedEvents::key_down(123));
        procedure.handle(ScriptedEvents::make(WindowEvent::KeyUp, 'A'));
        procedure.handle(ScriptedEvents::make(WindowEvent::MouseMove, 0, 5, 5));
        procedure.handle(ScriptedEvents::make(WindowEvent::MouseButton));
        procedure.handle(ScriptedEvents::make(WindowEvent::MouseWheel));
        EXPECT_EQ(ended.log, log);
        EXPECT_EQ(procedure.client_width(), 320);
    };

    client.on_frame = [&](int) { events.post_quit(); };
    procedure.run_message_loop(&client);
    after_the_loop(client);

    RecordingClient failing;
    failing.on_frame = [](int) { FATAL_ERROR("Failed assert success"); };
    EXPECT_FATAL(procedure.run_message_loop(&failing), "Failed assert success");
    after_the_loop(failing);
}

TEST_F(MessageLoopTest, CapturedMouseMovesAreRelativeToTheCentre) {
    procedure.handle(ScriptedEvents::make(WindowEvent::Resize, 0, 200, 100));
    client.captured = true;
    client.on_frame = [&](int frame) {
        if (frame == 1) {
            events.queue.push_back(ScriptedEvents::make(WindowEvent::MouseMove, 0, 130, 40));
            // The move the re-centring causes is not the user's.
            events.queue.push_back(ScriptedEvents::make(WindowEvent::MouseMove, 0, 100, 50));
            events.queue.push_back(ScriptedEvents::make(WindowEvent::MouseMove, 0, 90, 55));
            events.post_quit();
        }
    };
    procedure.run_message_loop(&client);
    EXPECT_EQ(client.log, (std::vector<std::string>{"fullscreen off", "move 30,-10", "move -10,5"}));
    EXPECT_EQ(events.warps, (std::vector<std::pair<int, int>>{{100, 50}, {100, 50}}));
}

TEST(MissingExtensions, TextNamesWhatIsMissing) {
    const std::string tail =
        " not supported, which means this demo probably won't run very well or at all. If you "
        "still want to risk it, press OK. \n\n(Side effects may include bubonic plague, outbreaks "
        "of cholera, Spontaneous Massive Existence Failures and other conditions too horrible for "
        "mere words. The author of this application does not take responsibility for any damages, "
        "injuries or death resulting from the erroneous use of this product.)";
    EXPECT_EQ(missing_extensions_text({"GLEW_ARB_multisample"}),
              "Extension GLEW_ARB_multisample" + tail);
    EXPECT_EQ(missing_extensions_text({"GLEW_ARB_point_sprite", "GLEW_ARB_depth_texture"}),
              "Extensions GLEW_ARB_point_sprite, GLEW_ARB_depth_texture" + tail);
    EXPECT_EQ(missing_extensions_text({"A", "B", "C"}).substr(0, 19), "Extensions A, B, C ");
}

TEST(MissingExtensions, QuestionOnlyWhenSomethingIsMissing) {
    test_support::clear_boxes();
    EXPECT_TRUE(accept_missing_extensions({}));
    EXPECT_TRUE(test_support::recorded_boxes().empty());

    test_support::scripted_answers() = {platform::MessageBoxAnswer::Ok,
                                        platform::MessageBoxAnswer::Cancel};
    EXPECT_TRUE(accept_missing_extensions({"GLEW_ARB_texture_float"}));
    EXPECT_FALSE(accept_missing_extensions({"GLEW_ARB_texture_float"}));
    ASSERT_EQ(test_support::recorded_boxes().size(), 2u);
    const auto& box = test_support::recorded_boxes()[0];
    EXPECT_EQ(box.caption, "Missing extension(s)");
    EXPECT_EQ(box.kind, platform::MessageBoxKind::OkCancelQuestion);
    EXPECT_EQ(box.text, missing_extensions_text({"GLEW_ARB_texture_float"}));
    test_support::clear_boxes();
}

TEST(Samples, ClampedToWhatTheDriverOffers) {
    struct Case {
        int requested, max, expected;
    } cases[] = {{16, 4, 4}, {8, 4, 4}, {4, 4, 4}, {2, 4, 2}, {1, 4, 1}, {4, 0, 1}, {8, 8, 8}};
    for (const Case& c : cases)
        EXPECT_EQ(clamp_samples(c.requested, c.max), c.expected) << c.requested << " of " << c.max;
}

TEST(VirtualKeys, SdlKeysMapToWindowsCodes) {
    struct Case {
        int sdl, vk;
    } cases[] = {{27, 27}, {'a', 'A'}, {'z', 'Z'}, {'0', '0'}, {'9', '9'},
                 {0x4000003A /* F1 */, 0x70}, {0x40000045 /* F12 */, 123}, {'\r', 13},
                 {0x40000050 /* left */, 0x25}, {0x40000039 /* caps lock */, 0}};
    for (const Case& c : cases) EXPECT_EQ(virtual_key_code(c.sdl), c.vk) << c.sdl;
}

}  // namespace
