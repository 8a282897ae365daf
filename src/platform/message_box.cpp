#include "platform/message_box.h"

#include <SDL.h>

namespace platform {
namespace {

MessageBoxHandler& handler() {
    static MessageBoxHandler h;
    return h;
}

MessageBoxAnswer show_sdl_box(const std::string& caption, const std::string& text,
                              MessageBoxKind kind) {
    if (kind != MessageBoxKind::OkCancelQuestion) {
        Uint32 flags = kind == MessageBoxKind::Warning ? SDL_MESSAGEBOX_WARNING
                       : kind == MessageBoxKind::Error ? SDL_MESSAGEBOX_ERROR
                                                       : SDL_MESSAGEBOX_INFORMATION;
        SDL_ShowSimpleMessageBox(flags, caption.c_str(), text.c_str(), nullptr);
        return MessageBoxAnswer::Ok;
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
    int pressed = 0;
    if (SDL_ShowMessageBox(&data, &pressed) != 0) return MessageBoxAnswer::Cancel;
    return pressed == 1 ? MessageBoxAnswer::Ok : MessageBoxAnswer::Cancel;
}

}  // namespace

MessageBoxAnswer show_message_box(const std::string& caption, const std::string& text,
                                  MessageBoxKind kind) {
    if (handler()) return handler()(caption, text, kind);
    return show_sdl_box(caption, text, kind);
}

void set_message_box_handler(MessageBoxHandler h) { handler() = std::move(h); }

}  // namespace platform
