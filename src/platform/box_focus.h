// Keyboard focus for a message box. Without a window manager nobody gives a
// newly shown window the keyboard focus: a box that opens while another
// window of the program holds it (the setup dialog's "Success", a fatal
// error over the show) gets no key press, and Return and Escape would reach
// the blocked window behind it instead. While an object of this class lives,
// the first top-level window with the given title that is mapped on the X
// display gets the focus. Under a window manager the box's window is framed
// by the manager, which gives the focus itself, and nothing happens here.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace platform {

class FocusBoxWhenShown {
public:
    // Watches from a thread of its own, on a connection of its own; returns
    // once the watch is in place, so a box shown after it is seen. Without an
    // X display it does nothing.
    explicit FocusBoxWhenShown(const std::string& title);
    ~FocusBoxWhenShown();
    FocusBoxWhenShown(const FocusBoxWhenShown&) = delete;
    FocusBoxWhenShown& operator=(const FocusBoxWhenShown&) = delete;

    // Whether the box was seen and given the focus (tests).
    bool focused() const { return focused_; }

private:
    void watch(void* display);

    std::string title_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> focused_{false};
    std::thread thread_;
};

}  // namespace platform
