#include "system/setup_dialog.h"

#include <GL/gl.h>
#include <SDL.h>
#include <imgui.h>
#include <backends/imgui_impl_opengl2.h>
#include <backends/imgui_impl_sdl.h>

#include "system/sdl_video.h"
#include "system/zemblasystem.h"

namespace {

// Pixels per dialog unit.
constexpr float kUnit = 2.0f;

// The dialog's window with its GL context and ImGui; everything goes when
// the object does.
class DialogWindow {
public:
    DialogWindow() {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        window_ = SDL_CreateWindow(ZemblaSystem::title.c_str(), SDL_WINDOWPOS_CENTERED,
                                   SDL_WINDOWPOS_CENTERED, static_cast<int>(kSetupDialogWidth * kUnit),
                                   static_cast<int>(kSetupDialogHeight * kUnit), SDL_WINDOW_OPENGL);
        if (!window_) return;
        context_ = SDL_GL_CreateContext(window_);
        if (!context_) return;
        SDL_GL_MakeCurrent(window_, context_);
        SDL_GL_SetSwapInterval(1);

        IMGUI_CHECKVERSION();
        imgui_ = ImGui::CreateContext();
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;  // the dialog leaves no file behind
        io.LogFilename = nullptr;
        ImGui::StyleColorsLight();
        ImGuiStyle& style = ImGui::GetStyle();
        style.WindowRounding = 0.0f;
        style.WindowBorderSize = 0.0f;
        style.FrameBorderSize = 1.0f;
        ImGui_ImplSDL2_InitForOpenGL(window_, context_);
        ImGui_ImplOpenGL2_Init();
    }

    ~DialogWindow() {
        if (imgui_) {
            ImGui_ImplOpenGL2_Shutdown();
            ImGui_ImplSDL2_Shutdown();
            ImGui::DestroyContext(imgui_);
        }
        if (context_) {
            SDL_GL_MakeCurrent(window_, nullptr);
            SDL_GL_DeleteContext(context_);
        }
        if (window_) SDL_DestroyWindow(window_);
        // Nothing of the dialog may reach the program's window.
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }

    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    bool ok() const { return imgui_ != nullptr; }

    // Takes the keyboard back, after a message box had it (no window manager
    // may be there to give it back).
    void take_focus() {
        SDL_RaiseWindow(window_);
        SDL_SetWindowInputFocus(window_);
    }

    // Runs until the model ends.
    void run(SetupDialogModel& model) {
        while (!model.ended()) {
            draw(model);
            SDL_Event event;
            if (!next_event(event)) continue;
            do {
                handle(event, model);
            } while (!model.ended() && SDL_PollEvent(&event));
        }
    }

private:
    // The next event, or false after a tenth of a second without one.
    // Events are polled, never waited for: while SDL waits, an event queued
    // meanwhile (the very key press that closes the dialog) makes it wake
    // itself by sending a message to this window over a second connection to
    // the X server, which may reach the server after the window was
    // destroyed over the first (an X error, "BadWindow").
    static bool next_event(SDL_Event& event) {
        const Uint64 give_up = SDL_GetTicks64() + 100;
        while (!SDL_PollEvent(&event)) {
            if (SDL_GetTicks64() >= give_up) return false;
            SDL_Delay(5);
        }
        return true;
    }

    void handle(const SDL_Event& event, SetupDialogModel& model) {
        ImGui_ImplSDL2_ProcessEvent(&event);
        if (event.type == SDL_QUIT ||
            (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE)) {
            model.close();
            return;
        }
        if (event.type != SDL_KEYDOWN || event.key.repeat) return;
        SDL_Keycode key = event.key.keysym.sym;
        bool alt = (event.key.keysym.mod & KMOD_ALT) != 0;
        if (list_open_ && (key == SDLK_ESCAPE || key == SDLK_RETURN || key == SDLK_KP_ENTER)) {
            // An open list takes Enter and Escape itself: they only close it.
            close_list_ = true;
            return;
        }
        const bool shift = (event.key.keysym.mod & KMOD_SHIFT) != 0;
        switch (key) {
            case SDLK_RETURN:
            case SDLK_KP_ENTER: model.key(DialogKey::Enter, alt); break;
            case SDLK_ESCAPE: model.key(DialogKey::Escape, alt); break;
            case SDLK_TAB: model.key(shift ? DialogKey::BackTab : DialogKey::Tab, alt); break;
            case SDLK_SPACE: model.key(DialogKey::Space, alt); break;
            case SDLK_UP: model.key(DialogKey::Up, alt); break;
            case SDLK_DOWN: model.key(DialogKey::Down, alt); break;
            case SDLK_LEFT: model.key(DialogKey::Left, alt); break;
            case SDLK_RIGHT: model.key(DialogKey::Right, alt); break;
            default:
                if (key >= SDLK_a && key <= SDLK_z) model.key(DialogKey::Letter, alt, static_cast<char>(key));
                break;
        }
    }

    void draw(SetupDialogModel& model) {
        ImGui_ImplOpenGL2_NewFrame();
        ImGui_ImplSDL2_NewFrame();
        ImGui::NewFrame();
        ImGuiIO& io = ImGui::GetIO();
        ImGui::SetNextWindowPos(ImVec2(0, 0));
        ImGui::SetNextWindowSize(io.DisplaySize);
        ImGui::Begin("setup", nullptr,
                     ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                         ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoBringToFrontOnFocus);
        for (const SetupDialogControl& control : setup_dialog_controls()) draw_control(control, model);
        list_open_ = ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId);
        close_list_ = false;
        ImGui::End();
        ImGui::Render();

        glViewport(0, 0, static_cast<int>(io.DisplaySize.x), static_cast<int>(io.DisplaySize.y));
        glClearColor(0.94f, 0.94f, 0.94f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
        SDL_GL_SwapWindow(window_);
    }

    void draw_control(const SetupDialogControl& control, SetupDialogModel& model) {
        const ImVec2 pos(control.x * kUnit, control.y * kUnit);
        const float width = control.width * kUnit;
        const float row = 10 * kUnit - 2;  // one row of controls, with a gap below
        MnemonicText label = split_mnemonic(control.text);
        std::string id = label.text + "##" + std::to_string(control.id);
        ImGui::SetCursorPos(pos);
        switch (control.kind) {
            case SetupDialogControl::Label:
                ImGui::SetCursorPos(ImVec2(pos.x, pos.y + (row - ImGui::GetFontSize()) / 2));
                ImGui::TextUnformatted(label.text.c_str());
                break;
            case SetupDialogControl::List: {
                // The closed list's frame: an open one makes the popup the last item.
                const ImVec2 min = ImGui::GetCursorScreenPos();
                const ImVec2 max(min.x + width, min.y + ImGui::GetFrameHeight());
                ImGui::SetNextItemWidth(width);
                draw_list(control.id, model);
                if (model.focused() == control.id) focus_frame(min, max);
                break;
            }
            case SetupDialogControl::Button:
            case SetupDialogControl::DefaultButton: {
                bool is_default = control.kind == SetupDialogControl::DefaultButton;
                if (is_default) ImGui::PushStyleVar(ImGuiStyleVar_FrameBorderSize, 2.0f);
                bool pressed = ImGui::Button(id.c_str(), ImVec2(width, row));
                if (is_default) ImGui::PopStyleVar();
                ImVec2 min = ImGui::GetItemRectMin();
                ImVec2 size = ImGui::GetItemRectSize();
                ImVec2 text_size = ImGui::CalcTextSize(label.text.c_str());
                underline(label, ImVec2(min.x + (size.x - text_size.x) / 2,
                                        min.y + (size.y - text_size.y) / 2));
                if (model.focused() == control.id) focus_frame(min, ImGui::GetItemRectMax());
                if (pressed) {
                    model.set_focus(control.id);
                    model.command(control.id);
                }
                break;
            }
            case SetupDialogControl::CheckBox: {
                ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, ImVec2(2, 2));
                bool checked = control.id == SetupDialogId::Fullscreen ? model.fullscreen_checked()
                                                                       : model.vsync_checked();
                bool pressed = ImGui::Checkbox(id.c_str(), &checked);
                ImVec2 min = ImGui::GetItemRectMin();
                const ImGuiStyle& style = ImGui::GetStyle();
                underline(label, ImVec2(min.x + ImGui::GetFrameHeight() + style.ItemInnerSpacing.x,
                                        min.y + style.FramePadding.y));
                if (model.focused() == control.id) focus_frame(min, ImGui::GetItemRectMax());
                ImGui::PopStyleVar();
                if (pressed) {
                    model.set_focus(control.id);
                    model.command(control.id);
                }
                break;
            }
        }
    }

    void draw_list(int id, SetupDialogModel& model) {
        const std::vector<std::string>* items;
        int selected;
        if (id == SetupDialogId::Resolution) {
            items = &model.resolutions();
            selected = model.resolution_selection();
        } else if (id == SetupDialogId::AntiAliasing) {
            items = &model.anti_aliasing_options();
            selected = model.anti_aliasing_selection();
        } else {
            items = &model.aspect_ratio_options();
            selected = model.aspect_ratio_selection();
        }
        std::string combo_id = "##" + std::to_string(id);
        const char* preview = selected >= 0 && selected < static_cast<int>(items->size())
                                  ? (*items)[selected].c_str()
                                  : "";
        if (!ImGui::BeginCombo(combo_id.c_str(), preview)) return;
        model.set_focus(id);  // opened with the mouse
        for (int i = 0; i < static_cast<int>(items->size()); ++i) {
            bool is_selected = i == selected;
            if (ImGui::Selectable((*items)[i].c_str(), is_selected)) {
                if (id == SetupDialogId::Resolution)
                    model.select_resolution(i);
                else if (id == SetupDialogId::AntiAliasing)
                    model.select_anti_aliasing(i);
                else
                    model.select_aspect_ratio(i);
            }
            if (is_selected) ImGui::SetItemDefaultFocus();
        }
        if (close_list_) ImGui::CloseCurrentPopup();
        ImGui::EndCombo();
    }

    // Marks the control that has the keyboard focus with a frame around it.
    static void focus_frame(ImVec2 min, ImVec2 max) {
        ImGui::GetWindowDrawList()->AddRect(ImVec2(min.x - 2, min.y - 2), ImVec2(max.x + 2, max.y + 2),
                                            ImGui::GetColorU32(ImGuiCol_NavHighlight), 0.0f, 0, 1.0f);
    }

    // Underlines the mnemonic letter of a label drawn at `text_pos`.
    static void underline(const MnemonicText& label, ImVec2 text_pos) {
        if (label.index < 0) return;
        std::string before = label.text.substr(0, label.index);
        std::string letter = label.text.substr(label.index, 1);
        float x = text_pos.x + ImGui::CalcTextSize(before.c_str()).x;
        float y = text_pos.y + ImGui::GetFontSize();
        float w = ImGui::CalcTextSize(letter.c_str()).x;
        ImGui::GetWindowDrawList()->AddLine(ImVec2(x, y), ImVec2(x + w, y),
                                            ImGui::GetColorU32(ImGuiCol_Text));
    }

    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
    ImGuiContext* imgui_ = nullptr;
    bool list_open_ = false;
    bool close_list_ = false;
};

}  // namespace

std::vector<DisplayMode> display_modes() {
    // SDL lists the largest mode first; the dialog lists the smallest first,
    // so the last entry is the largest.
    std::vector<DisplayMode> modes;
    int count = SDL_GetNumDisplayModes(0);
    for (int i = count - 1; i >= 0; --i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) == 0) modes.push_back({mode.w, mode.h});
    }
    return modes;
}

namespace {

std::function<void()>& soundtrack_export() {
    static std::function<void()> action;
    return action;
}

}  // namespace

void set_soundtrack_export(std::function<void()> export_soundtrack) {
    soundtrack_export() = std::move(export_soundtrack);
}

int show_setup_dialog(void* /*instance*/, void* /*parent*/) {
    if (!sdl_video_init()) return kSetupDialogFailed;
    DialogWindow window;
    if (!window.ok()) return kSetupDialogFailed;
    SetupDialogModel model(display_modes(), [&window] {
        if (soundtrack_export()) soundtrack_export()();
        window.take_focus();
    });
    model.init();
    window.run(model);
    return model.result();
}
