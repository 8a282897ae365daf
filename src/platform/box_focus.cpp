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

// Gives the window the focus when it is the box, on screen.
bool focus_if_box(Display* display, Window window, const std::string& title) {
    if (!titled(display, window, title)) return false;
    XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    XFlush(display);
    return true;
}

// A top-level window of the box's title already on screen (mapped before the
// watch began).
bool focus_shown_box(Display* display, const std::string& title) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return false;
    bool found = false;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable &&
            !attributes.override_redirect)
            found = focus_if_box(display, children[i], title);
    }
    if (children) XFree(children);
    return found;
}

}  // namespace

FocusBoxWhenShown::FocusBoxWhenShown(const std::string& title) : title_(title) {}

FocusBoxWhenShown::~FocusBoxWhenShown() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

void FocusBoxWhenShown::start() {
    if (!thread_.joinable()) thread_ = std::thread([this] { watch(); });
}

void FocusBoxWhenShown::watch() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return;
    const Window root = DefaultRootWindow(display);
    // Top-level windows are the root's children: their mapping is reported
    // to whoever watches the root's structure. Watching first, then looking
    // at what is on screen, misses no box mapped in between.
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);
    if (focus_shown_box(display, title_)) focused_ = true;
    pollfd readable{ConnectionNumber(display), POLLIN, 0};
    while (!stop_) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (focused_ || event.type != MapNotify || event.xmap.event != root || event.xmap.override_redirect) continue;
            if (focus_if_box(display, event.xmap.window, title_)) focused_ = true;
        }
        // Wakes for the next event, or to look at the stop flag.
        poll(&readable, 1, 50);
    }
    XCloseDisplay(display);
}

}  // namespace platform
