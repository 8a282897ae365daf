#include "platform/box_focus.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

namespace platform {
namespace {

// A window property as bytes, "" when absent.
std::string property_text(Display* display, Window window, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(display, window, property, 0, 1024, False, AnyPropertyType, &type, &format, &count,
                           &left, &data) == Success &&
        data && format == 8)
        text.assign(reinterpret_cast<const char*>(data), count);
    if (data) XFree(data);
    return text;
}

bool titled(Display* display, Window window, const std::string& title) {
    // SDL names its boxes in both properties; either will do.
    return property_text(display, window, XInternAtom(display, "_NET_WM_NAME", False)) == title ||
           property_text(display, window, XA_WM_NAME) == title;
}

}  // namespace

FocusBoxWhenShown::FocusBoxWhenShown(const std::string& title) : title_(title) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return;
    // Top-level windows are the root's children: their mapping is reported
    // to whoever watches the root's structure.
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    thread_ = std::thread([this, display] { watch(display); });
}

FocusBoxWhenShown::~FocusBoxWhenShown() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

void FocusBoxWhenShown::watch(void* connection) {
    Display* display = static_cast<Display*>(connection);
    const Window root = DefaultRootWindow(display);
    pollfd readable{ConnectionNumber(display), POLLIN, 0};
    while (!stop_) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (focused_ || event.type != MapNotify || event.xmap.event != root || event.xmap.override_redirect) continue;
            if (!titled(display, event.xmap.window, title_)) continue;
            XSetInputFocus(display, event.xmap.window, RevertToPointerRoot, CurrentTime);
            XFlush(display);
            focused_ = true;
        }
        // Wakes for the next event, or to look at the stop flag.
        poll(&readable, 1, 50);
    }
    XCloseDisplay(display);
}

}  // namespace platform
