// Once the program's video layer is up, an X protocol error on any of the
// process's connections is a log line and the run goes on; Xlib's default
// handler ended the process with status 1 from wherever it noticed one.
#include <string>

#include "support/gl_context.h"
#include "support/test_support.h"
#include "system/sdl_video.h"

// Last: Xlib's macros (None, Bool, Status) clash with names in the test
// framework's headers.
#include <X11/Xlib.h>

namespace {

using test_support::GlTest;

// A message sent to a window that is gone, as SDL's wake-up of a waiting
// event loop could reach the setup dialog's window after it was destroyed.
TEST_F(GlTest, AnXErrorIsLoggedAndTheRunGoesOn) {
    ASSERT_TRUE(sdl_video_init());
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const Window gone = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 8, 8, 0, 0, 0);
    XDestroyWindow(display, gone);
    XEvent wake{};
    wake.xclient.type = ClientMessage;
    wake.xclient.window = gone;
    wake.xclient.format = 8;
    testing::internal::CaptureStdout();
    XSendEvent(display, gone, False, NoEventMask, &wake);
    XSync(display, False);
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_NE(log.find("X error BadWindow (invalid Window parameter) on request X_SendEvent, resource 0x"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("; the run goes on\n"), std::string::npos) << log;
    XCloseDisplay(display);
}

}  // namespace
