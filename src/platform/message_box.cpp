#include "platform/message_box.h"

#include <SDL.h>
#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

#include "platform/box_focus.h"
#include "platform/log.h"

namespace platform {
namespace {

MessageBoxHandler& handler() {
    static MessageBoxHandler h;
    return h;
}

// SDL shows a box on X in a process of its own, forked from the thread that
// asks for it. While it does, the fork hooks below know that thread and what
// waits for the box's process: the watch that gives the box the keyboard
// focus, which may only start once the fork is done.
struct BoxFork {
    pthread_t asking_thread{};
    pid_t program = 0;
    std::atomic<FocusBoxWhenShown*> focus{nullptr};  // not null while a box is being shown
};
BoxFork box_fork;
volatile sig_atomic_t in_box_process = 0;

void after_fork_in_program() {
    if (!box_fork.focus || !pthread_equal(pthread_self(), box_fork.asking_thread)) return;
    box_fork.focus.load()->start();
}

// Only what is safe in the child of a process with several threads.
void after_fork_in_box() {
    if (!box_fork.focus || !pthread_equal(pthread_self(), box_fork.asking_thread)) return;
    in_box_process = 1;
    // A box whose program has ended (a SIGTERM while it waited) answers
    // nobody: it goes with the program.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != box_fork.program) _exit(1);
}

// Shows the box through SDL with the fork hooks armed for it.
class ShowingBox {
public:
    explicit ShowingBox(FocusBoxWhenShown* focus) {
        static std::once_flag hooks_installed;
        std::call_once(hooks_installed, [] { pthread_atfork(nullptr, after_fork_in_program, after_fork_in_box); });
        box_fork.asking_thread = pthread_self();
        box_fork.program = getpid();
        box_fork.focus = focus;
    }
    ~ShowingBox() { box_fork.focus = nullptr; }
    ShowingBox(const ShowingBox&) = delete;
    ShowingBox& operator=(const ShowingBox&) = delete;
};

// False when SDL could not show the box (no video driver or display, no X
// core fonts for its text).
bool show_sdl_box(const std::string& caption, const std::string& text, MessageBoxKind kind,
                  MessageBoxAnswer* answer) {
    *answer = MessageBoxAnswer::Ok;
    if (kind != MessageBoxKind::OkCancelQuestion) {
        Uint32 flags = kind == MessageBoxKind::Warning ? SDL_MESSAGEBOX_WARNING
                       : kind == MessageBoxKind::Error ? SDL_MESSAGEBOX_ERROR
                                                       : SDL_MESSAGEBOX_INFORMATION;
        return SDL_ShowSimpleMessageBox(flags, caption.c_str(), text.c_str(), nullptr) == 0;
    }
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "OK"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "Cancel"},
    };
    SDL_MessageBoxData data{};
    data.flags = SDL_MESSAGEBOX_INFORMATION;
    data.title = caption.c_str();
    data.message = text.c_str();
    data.numbuttons = 2;
    data.buttons = buttons;
    int pressed = -1;
    if (SDL_ShowMessageBox(&data, &pressed) != 0) return false;
    // Closing the box by its frame (-1) is a Cancel.
    *answer = pressed == 1 ? MessageBoxAnswer::Ok : MessageBoxAnswer::Cancel;
    return true;
}

}  // namespace

MessageBoxAnswer show_message_box(const std::string& caption, const std::string& text,
                                  MessageBoxKind kind) {
    if (handler()) return handler()(caption, text, kind);
    MessageBoxAnswer answer;
    {
        // So that Return and Escape answer it even where no window manager
        // moves the focus to a new window.
        FocusBoxWhenShown focus(caption);
        ShowingBox showing(&focus);
        if (show_sdl_box(caption, text, kind, &answer)) return answer;
    }
    return log_message_box(caption, text, kind, SDL_GetError());
}

MessageBoxAnswer log_message_box(const std::string& caption, const std::string& text,
                                 MessageBoxKind kind, const std::string& why) {
    LOG_INFO("Message box \"" << caption << "\" could not be shown (" << why << "); its text:\n"
                              << text << "\n");
    if (kind == MessageBoxKind::OkCancelQuestion)
        LOG_INFO("Answered OK, the box's default, for \"" << caption << "\"\n");
    return MessageBoxAnswer::Ok;
}

bool is_box_process() { return in_box_process != 0; }

void set_message_box_handler(MessageBoxHandler h) { handler() = std::move(h); }

void set_message_boxes_unattended() {
    set_message_box_handler([](const std::string& caption, const std::string& text, MessageBoxKind kind) {
        return log_message_box(caption, text, kind, "nobody is there to answer it");
    });
}

}  // namespace platform
