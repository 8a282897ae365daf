#include "system/window.h"

#include <GL/glew.h>
#include <SDL.h>

#include <algorithm>
#include <cstdlib>

#include "platform/message_box.h"
#include "system/fatal.h"
#include "system/keycodes.h"
#include "system/sdl_video.h"
#include "system/zemblasystem.h"

namespace {

// SDL's queue, translated into the window's events. A posted quit is an
// event of the program's own type, queued behind whatever is pending.
class SdlEventSource : public EventSource {
public:
    // Pumps the system's events once per drain, then hands out everything
    // queued, including what was queued while handling earlier events (a
    // posted quit); SDL_PollEvent would stop at the point of its last pump.
    bool poll(WindowEvent& event) override {
        if (!pumped_) {
            SDL_PumpEvents();
            pumped_ = true;
        }
        SDL_Event e;
        while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) {
            if (translate(e, event)) return true;
        }
        pumped_ = false;
        return false;
    }

    void post_quit() override {
        SDL_Event e{};
        e.type = quit_event_type();
        SDL_PushEvent(&e);
    }

    void warp_mouse(int x, int y) override {
        if (ZemblaSystem::hWnd) SDL_WarpMouseInWindow(ZemblaSystem::hWnd, x, y);
    }

    static bool translate(const SDL_Event& e, WindowEvent& out) {
        out = WindowEvent{};
        if (e.type == quit_event_type()) {
            out.type = WindowEvent::QuitPosted;
            return true;
        }
        switch (e.type) {
            case SDL_QUIT:
                out.type = WindowEvent::Close;
                return true;
            case SDL_WINDOWEVENT:
                if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
                    out.type = WindowEvent::Close;
                    return true;
                }
                if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                    out.type = WindowEvent::Resize;
                    out.x = e.window.data1;
                    out.y = e.window.data2;
                    return true;
                }
                return false;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                out.type = e.type == SDL_KEYDOWN ? WindowEvent::KeyDown : WindowEvent::KeyUp;
                out.key = virtual_key_code(e.key.keysym.sym);
                return out.key != 0;
            case SDL_MOUSEMOTION:
                out.type = WindowEvent::MouseMove;
                out.x = e.motion.x;
                out.y = e.motion.y;
                return true;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                if (e.button.button != SDL_BUTTON_LEFT && e.button.button != SDL_BUTTON_RIGHT)
                    return false;
                out.type = WindowEvent::MouseButton;
                out.button = e.button.button == SDL_BUTTON_LEFT ? 1 : 2;
                out.down = e.type == SDL_MOUSEBUTTONDOWN;
                return true;
            case SDL_MOUSEWHEEL:
                out.type = WindowEvent::MouseWheel;
                out.delta = e.wheel.y * 120;
                return true;
            default:
                return false;
        }
    }

private:
    bool pumped_ = false;

    static Uint32 quit_event_type() {
        static Uint32 type = SDL_RegisterEvents(1);
        return type;
    }
};

// Every extension the program needs, by GLEW's flag.
struct RequiredExtension {
    const char* name;
    bool (*present)();
};

#define ZEMBLA_EXTENSION(flag) {#flag, [] { return (flag) != GL_FALSE; }}
const RequiredExtension kRequiredExtensions[] = {
    ZEMBLA_EXTENSION(GLEW_ARB_vertex_program),
    ZEMBLA_EXTENSION(GLEW_ARB_fragment_program),
    ZEMBLA_EXTENSION(GLEW_ARB_multitexture),
    ZEMBLA_EXTENSION(GLEW_ARB_vertex_shader),
    ZEMBLA_EXTENSION(GLEW_ARB_fragment_shader),
    ZEMBLA_EXTENSION(GLEW_ARB_multisample),
    ZEMBLA_EXTENSION(GLEW_ARB_point_sprite),
    ZEMBLA_EXTENSION(GLEW_EXT_texture_filter_anisotropic),
    ZEMBLA_EXTENSION(GLEW_ARB_vertex_buffer_object),
    ZEMBLA_EXTENSION(GLEW_EXT_framebuffer_object),
    ZEMBLA_EXTENSION(GLEW_ARB_texture_non_power_of_two),
    ZEMBLA_EXTENSION(GLEW_ARB_texture_float),
    ZEMBLA_EXTENSION(GLEW_ARB_draw_buffers),
    ZEMBLA_EXTENSION(GLEW_ARB_depth_texture),
};
#undef ZEMBLA_EXTENSION

bool display_offers_mode(int width, int height) {
    int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) == 0 && mode.w == width && mode.h == height)
            return true;
    }
    return false;
}

}  // namespace

EventSource& system_event_source() {
    static SdlEventSource source;
    return source;
}

// --- window procedure and loop ---------------------------------------------------------

void WindowProcedure::handle(const WindowEvent& event) {
    switch (event.type) {
        case WindowEvent::None:
        case WindowEvent::QuitPosted:
            break;
        case WindowEvent::Close:
            source_.post_quit();
            break;
        case WindowEvent::Resize:
            client_width_ = event.x;
            client_height_ = event.y;
            // A minimised window reports an empty client area: the scenes
            // keep the size they have until it comes back.
            if (client_ && event.x > 0 && event.y > 0) client_->resize(event.x, event.y);
            break;
        case WindowEvent::KeyDown:
            if (event.key == key::escape) {
                source_.post_quit();
            } else if (client_) {
                if (event.key == key::f12)
                    client_->on_f12();
                else
                    client_->on_key_down(event.key & 255);
            }
            break;
        case WindowEvent::KeyUp:
            if (client_) client_->on_key_up(event.key & 255);
            break;
        case WindowEvent::MouseMove:
            if (!client_) break;
            if (client_->is_mouse_captured()) {
                if (ignore_next_mouse_move_) {
                    ignore_next_mouse_move_ = false;
                    break;
                }
                int centre_x = client_width_ / 2;
                int centre_y = client_height_ / 2;
                client_->on_mouse_move(event.x - centre_x, event.y - centre_y);
                source_.warp_mouse(centre_x, centre_y);
                ignore_next_mouse_move_ = true;
            } else {
                client_->on_mouse_move(event.x, event.y);
            }
            break;
        case WindowEvent::MouseButton:
            if (client_) client_->on_mouse_button(event.button, event.down);
            break;
        case WindowEvent::MouseWheel:
            if (client_) client_->on_mouse_wheel(event.delta);
            break;
    }
}

void WindowProcedure::run_message_loop(WindowClient* client) {
    client_ = client;
    // The client is borrowed for the loop only: events that arrive after it
    // (the drain of a later loading screen, a test's next window) reach no
    // client, whatever ends the loop.
    struct Forget {
        WindowClient*& client;
        ~Forget() { client = nullptr; }
    } forget{client_};
    client_->set_fullscreen(ZemblaSystem::fullscreen != 0);
    for (;;) {
        client_->frame();
        WindowEvent event;
        while (source_.poll(event)) {
            if (event.type == WindowEvent::QuitPosted) return;
            handle(event);
        }
    }
}

WindowProcedure& window_procedure() {
    static WindowProcedure procedure(system_event_source());
    return procedure;
}

void run_message_loop(WindowClient* client) { window_procedure().run_message_loop(client); }

bool window_escape_pressed() {
    if (!ZemblaSystem::hWnd) return false;
    SDL_PumpEvents();
    const Uint8* keys = SDL_GetKeyboardState(nullptr);
    if (keys && keys[SDL_SCANCODE_ESCAPE]) return true;
    SDL_Event pending[64];
    int count = SDL_PeepEvents(pending, 64, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYDOWN);
    for (int i = 0; i < count; ++i)
        if (pending[i].key.keysym.sym == SDLK_ESCAPE) return true;
    return false;
}

void window_drain_messages() {
    if (!ZemblaSystem::hWnd) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        WindowEvent event;
        if (SdlEventSource::translate(e, event) && event.type == WindowEvent::Resize)
            window_procedure().handle(event);
    }
}

int virtual_key_code(int sdl_keycode) {
    if (sdl_keycode >= SDLK_a && sdl_keycode <= SDLK_z) return 'A' + (sdl_keycode - SDLK_a);
    if (sdl_keycode >= SDLK_0 && sdl_keycode <= SDLK_9) return '0' + (sdl_keycode - SDLK_0);
    if (sdl_keycode >= SDLK_F1 && sdl_keycode <= SDLK_F12) return key::f1 + (sdl_keycode - SDLK_F1);
    switch (sdl_keycode) {
        case SDLK_ESCAPE: return key::escape;
        case SDLK_RETURN: return key::enter;
        case SDLK_SPACE: return key::space;
        case SDLK_TAB: return key::tab;
        case SDLK_BACKSPACE: return key::backspace;
        case SDLK_LEFT: return key::left;
        case SDLK_UP: return key::up;
        case SDLK_RIGHT: return key::right;
        case SDLK_DOWN: return key::down;
        default: return 0;
    }
}

// --- window and context ----------------------------------------------------------------

void create_window() {
    fatal::set_window_restore_hook(restore_window_for_error);
    if (!sdl_video_init()) FATAL_ERROR("Failed to register window class");

    // Double-buffered RGB with 24 depth bits, no alpha, stencil or
    // accumulation; the compatibility profile keeps the fixed-function state.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (ZemblaSystem::fullscreen) {
        // SDL would quietly take the nearest mode; the program wants exactly
        // the one chosen in the dialog.
        if (!display_offers_mode(ZemblaSystem::width, ZemblaSystem::height))
            FATAL_ERROR("Failed to set fullscreen mode");
        flags |= SDL_WINDOW_FULLSCREEN;
    } else {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    ZemblaSystem::hWnd = SDL_CreateWindow(ZemblaSystem::title.c_str(), 0, 0, ZemblaSystem::width,
                                          ZemblaSystem::height, flags);
    FATAL_ASSERT(ZemblaSystem::hWnd);

    // Not checked: a missing context shows up as GLEW's error.
    ZemblaSystem::hRC = SDL_GL_CreateContext(ZemblaSystem::hWnd);
    SDL_GL_MakeCurrent(ZemblaSystem::hWnd, ZemblaSystem::hRC);
    SDL_ShowWindow(ZemblaSystem::hWnd);
    SDL_RaiseWindow(ZemblaSystem::hWnd);
    set_vsync(ZemblaSystem::vsync != 0);

    ZemblaSystem::hDC = ZemblaSystem::hWnd;
    FATAL_ASSERT(ZemblaSystem::hDC);
    SDL_ShowCursor(SDL_DISABLE);
}

void set_vsync(bool on) { SDL_GL_SetSwapInterval(on ? 1 : 0); }

void swap_buffers() {
    if (ZemblaSystem::hDC) SDL_GL_SwapWindow(ZemblaSystem::hDC);
}

void show_cursor(bool visible) { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

void delete_gl_context() {
    if (!ZemblaSystem::hRC) return;
    SDL_GL_MakeCurrent(ZemblaSystem::hWnd, nullptr);
    SDL_GL_DeleteContext(ZemblaSystem::hRC);
    ZemblaSystem::hRC = nullptr;
}

void restore_window_for_error() {
    SDL_Window* window = ZemblaSystem::hWnd;
    if (!window) return;
    SDL_SetWindowFullscreen(window, 0);
    SDL_SetWindowBordered(window, SDL_TRUE);
    SDL_SetWindowAlwaysOnTop(window, SDL_FALSE);
    SDL_SetWindowSize(window, 640, 480);
    SDL_SetWindowPosition(window, 0, 0);
    SDL_ShowWindow(window);
    SDL_RestoreWindow(window);
    SDL_ShowCursor(SDL_ENABLE);
    swap_buffers();
}

// --- driver checks ---------------------------------------------------------------------

const std::vector<std::string>& required_extension_names() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (const RequiredExtension& extension : kRequiredExtensions) list.push_back(extension.name);
        return list;
    }();
    return names;
}

std::vector<std::string> missing_extensions() {
    std::vector<std::string> missing;
    for (const RequiredExtension& extension : kRequiredExtensions)
        if (!extension.present()) missing.push_back(extension.name);
    return missing;
}

std::string missing_extensions_text(const std::vector<std::string>& missing) {
    std::string text = missing.size() > 1 ? "Extensions " : "Extension ";
    for (size_t i = 0; i < missing.size(); ++i) {
        if (i > 0) text += ", ";
        text += missing[i];
    }
    text +=
        " not supported, which means this demo probably won't run very well or at all. If you "
        "still want to risk it, press OK. \n\n(Side effects may include bubonic plague, outbreaks "
        "of cholera, Spontaneous Massive Existence Failures and other conditions too horrible for "
        "mere words. The author of this application does not take responsibility for any "
        "damages, injuries or death resulting from the erroneous use of this product.)";
    return text;
}

bool accept_missing_extensions(const std::vector<std::string>& missing) {
    if (missing.empty()) return true;
    return platform::show_message_box("Missing extension(s)", missing_extensions_text(missing),
                                      platform::MessageBoxKind::OkCancelQuestion) ==
           platform::MessageBoxAnswer::Ok;
}

void check_extensions() {
    if (!accept_missing_extensions(missing_extensions())) std::exit(1);
}

int clamp_samples(int requested, int max) { return requested > max ? std::max(1, max) : requested; }

void clamp_samples_to_driver() {
    GLint max = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &max);
    int samples = clamp_samples(ZemblaSystem::samples, max);
    if (samples == ZemblaSystem::samples) return;
    LOG_INFO("Anti-aliasing of " << ZemblaSystem::samples << " samples is more than the driver offers, using "
                                 << samples << "\n");
    ZemblaSystem::samples = samples;
}
