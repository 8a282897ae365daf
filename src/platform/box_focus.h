// Keyboard focus for a message box. Without a window manager nobody gives a
// newly shown window the keyboard focus: a box that opens while another
// window of the program holds it (the setup dialog's "Success", a fatal
// error over the show) gets no key press, and Return and Escape would reach
// the blocked window behind it instead. Once `start` is called, and while the
// object lives, the first top-level window with the given title that is (or
// gets) mapped on the X display gets the focus. Under a window manager the
// box's window is framed by the manager, which gives the focus itself, and
// nothing happens here.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace platform {

class FocusBoxWhenShown {
public:
    // Does nothing yet: the watch runs on a thread of its own, which must not
    // exist while the box's process is forked (see `start`).
    explicit FocusBoxWhenShown(const std::string& title);
    ~FocusBoxWhenShown();
    FocusBoxWhenShown(const FocusBoxWhenShown&) = delete;
    FocusBoxWhenShown& operator=(const FocusBoxWhenShown&) = delete;

    // Starts the watch, on a connection of its own; a box already mapped is
    // found as well as one mapped later. Call it once the box's process has
    // been forked: a child of a process with several threads inherits the
    // locks those threads held (the allocator's, Xlib's), and a box process
    // forked while this thread talked to the display could wait on them for
    // ever. Without an X display the watch does nothing. Once only.
    void start();

    // Whether the box was seen and given the focus (tests).
    bool focused() const { return focused_; }

private:
    void watch();

    std::string title_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> focused_{false};
    std::thread thread_;
};

}  // namespace platform
