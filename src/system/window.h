// The program's one window with its OpenGL context, and the message loop that
// alternates one frame with the window's pending events.
//
// Events reach the loop as WindowEvent records from an EventSource: the real
// source reads SDL's queue, tests inject their own. A posted quit is itself a
// queued event, so events queued before it are still handled and the loop
// stops when it reaches it.
#pragma once

#include <string>
#include <vector>

// The one who receives the window's frames and input: the scene manager.
// Every hook but frame does nothing unless overridden.
class WindowClient {
public:
    virtual ~WindowClient() = default;
    virtual void frame() = 0;
    virtual void set_fullscreen(bool) {}
    virtual void resize(int /*width*/, int /*height*/) {}
    virtual void on_key_down(int /*key*/) {}
    virtual void on_key_up(int /*key*/) {}
    virtual void on_f12() {}
    virtual void on_mouse_move(int /*x*/, int /*y*/) {}
    virtual void on_mouse_button(int /*button*/, bool /*down*/) {}
    virtual void on_mouse_wheel(int /*delta*/) {}
    virtual bool is_mouse_captured() const { return false; }
};

struct WindowEvent {
    enum Type {
        None,
        QuitPosted,   // the quit that post_quit queued: ends the loop
        Close,        // close box or the session asking the program to end
        Resize,       // new client size in x, y
        KeyDown,      // key: a virtual-key code (system/keycodes.h)
        KeyUp,
        MouseMove,    // x, y: client position
        MouseButton,  // button 1 left, 2 right; down
        MouseWheel,   // delta in wheel units of 120
    };
    Type type = None;
    int key = 0;
    int x = 0;
    int y = 0;
    int button = 0;
    bool down = false;
    int delta = 0;
};

// Where the loop takes its events from.
class EventSource {
public:
    virtual ~EventSource() = default;
    // Takes the next pending event; false when none is pending.
    virtual bool poll(WindowEvent& event) = 0;
    // Queues a QuitPosted event behind the pending ones.
    virtual void post_quit() = 0;
    // Puts the cursor back to a client position (captured mouse).
    virtual void warp_mouse(int /*x*/, int /*y*/) {}
};

// The event source of the real window (SDL).
EventSource& system_event_source();

// Opens the window at ZemblaSystem::width x height, full screen when
// ZemblaSystem::fullscreen is set (the display must offer that exact mode),
// with a double-buffered compatibility-profile context made current, the
// vertical-sync setting applied and the cursor hidden. Sets hWnd, hDC, hRC.
void create_window();

// Requests swap interval 1 (on) or 0 (off); a driver without swap control
// keeps its default.
void set_vsync(bool on);

// Presents the back buffer of the window.
void swap_buffers();

// Shows or hides the mouse cursor over the window.
void show_cursor(bool visible);

// Deletes the OpenGL context (the window goes with the process).
void delete_gl_context();

// Puts the window back into an ordinary 640x480 frame on the desktop; the
// fatal-error path calls it before showing its box.
void restore_window_for_error();

// The fourteen extensions the program needs, in the order they are checked.
const std::vector<std::string>& required_extension_names();
// The names of the required extensions that the current context lacks.
std::vector<std::string> missing_extensions();
// The question shown when some are missing.
std::string missing_extensions_text(const std::vector<std::string>& missing);
// Asks whether to go on without `missing`; true when nothing is missing or
// the user answered OK.
bool accept_missing_extensions(const std::vector<std::string>& missing);
// Checks the current context; declining the question exits with status 1.
void check_extensions();

// The sample count the driver can give for `requested`: `requested` lowered
// to `max` (but not below 1) when it is above.
int clamp_samples(int requested, int max);
// Lowers ZemblaSystem::samples to the context's GL_MAX_SAMPLES, with a log
// line when it had to.
void clamp_samples_to_driver();

// The window procedure and the loop around it: the scene manager it forwards
// to (none until the loop starts), the last client size, and the source of
// events.
class WindowProcedure {
public:
    explicit WindowProcedure(EventSource& source) : source_(source) {}

    // Handles one event: Escape and closing post a quit; sizes are stored,
    // and forwarded once the loop runs, unless one side is zero (a minimised
    // window keeps the size it had); other input goes to the client's hooks.
    void handle(const WindowEvent& event);

    // Runs frames of `client` until a posted quit is reached: one frame, then
    // every pending event. The events behind the quit stay queued. The
    // client is forgotten when the loop ends.
    void run_message_loop(WindowClient* client);

    int client_width() const { return client_width_; }
    int client_height() const { return client_height_; }

private:
    EventSource& source_;
    WindowClient* client_ = nullptr;
    int client_width_ = 0;
    int client_height_ = 0;
    bool ignore_next_mouse_move_ = false;
};

// The real window's procedure, over system_event_source().
WindowProcedure& window_procedure();

// run_message_loop of the real window.
void run_message_loop(WindowClient* client);

// For the loading screen, which draws without the loop: whether Escape is
// held or was pressed since the last look, and a drain of pending events
// that hands sizes to the window procedure and drops the rest.
bool window_escape_pressed();
void window_drain_messages();

// The Windows virtual-key code of an SDL key code (0 for keys without one).
int virtual_key_code(int sdl_keycode);
