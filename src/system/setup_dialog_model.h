// The setup dialog's state and behaviour, without any drawing: the three
// lists, the two check boxes, the buttons and the keyboard. Every change is
// written straight into ZemblaSystem, so the settings always equal what the
// dialog shows. The window that draws it is in setup_dialog.h.
#pragma once

#include <functional>
#include <string>
#include <vector>

// Control ids; the buttons' ids are also the dialog's results.
namespace SetupDialogId {
enum : int {
    Run = 1,
    Quit = 2,
    Resolution = 100,
    Fullscreen = 101,
    AntiAliasing = 102,
    Vsync = 103,
    AspectRatio = 104,
    GetMp3 = 105,
    GetAvi = 106,
};
}

// The result of show_setup_dialog when the dialog could not be shown.
constexpr int kSetupDialogFailed = -1;

struct DisplayMode {
    int width;
    int height;
};

// Keys the dialog reacts to, already taken out of the platform's events.
// BackTab is Shift+Tab.
enum class DialogKey { Enter, Escape, Letter, Tab, BackTab, Space, Up, Down, Left, Right };

class SetupDialogModel {
public:
    // `modes` in the order the display lists them (smallest first); Get mp3
    // calls `export_soundtrack` and leaves the dialog open, with the focus on
    // Run.
    SetupDialogModel(std::vector<DisplayMode> modes, std::function<void()> export_soundtrack);

    // Fills the lists, selects what the settings name and applies every
    // control once, so that the settings hold what is shown.
    void init();

    const std::vector<std::string>& resolutions() const { return resolution_texts_; }
    const std::vector<std::string>& anti_aliasing_options() const;
    const std::vector<std::string>& aspect_ratio_options() const;
    int resolution_selection() const { return resolution_selection_; }
    int anti_aliasing_selection() const { return anti_aliasing_selection_; }
    int aspect_ratio_selection() const { return aspect_ratio_selection_; }
    bool fullscreen_checked() const { return fullscreen_checked_; }
    bool vsync_checked() const { return vsync_checked_; }

    // The user's changes; each writes the settings at once.
    void select_resolution(int index);
    void select_anti_aliasing(int index);
    void select_aspect_ratio(int index);
    void set_fullscreen_checked(bool checked);
    void set_vsync_checked(bool checked);

    // A press of the button `id` (a check box toggles). Returns true when
    // the dialog ends; result() then tells how.
    bool command(int id);

    // A key press; `letter` is the lower-case letter for DialogKey::Letter.
    // Enter presses the focused button, or Run when no button has the focus;
    // Escape quits; Alt with a mnemonic letter presses that control. Tab and
    // Shift+Tab move the focus through the controls in their order, round;
    // Space presses the focused button or toggles the focused box; the arrow
    // keys choose the previous (Up, Left) or next (Down, Right) entry of the
    // focused list, stopping at its ends. Returns true when the dialog ends.
    bool key(DialogKey key, bool alt, char letter = 0);

    // The control with the keyboard focus: at first the resolution list.
    int focused() const { return focused_; }
    // Gives the focus to a control (the mouse clicked it); ignored for an id
    // that is no control of the dialog.
    void set_focus(int id);

    // The close box: the same as Quit.
    bool close() { return command(SetupDialogId::Quit); }

    bool ended() const { return ended_; }
    int result() const { return result_; }

    // How a selected text becomes settings, as the lists' texts are read back.
    static void apply_resolution_text(const std::string& text);
    static void apply_anti_aliasing_text(const std::string& text);
    static void apply_aspect_ratio_text(const std::string& text);

private:
    void end(int result);
    void move_focus(int step);
    void step_list(int step);

    std::vector<DisplayMode> modes_;
    std::function<void()> export_soundtrack_;
    std::vector<std::string> resolution_texts_;
    int resolution_selection_ = 0;
    int anti_aliasing_selection_ = 0;
    int aspect_ratio_selection_ = 0;
    bool fullscreen_checked_ = false;
    bool vsync_checked_ = false;
    int focused_ = SetupDialogId::Resolution;
    bool ended_ = false;
    int result_ = 0;
};

// The control that an Alt+letter presses, or 0 for none ("&Run" -> 'r').
int setup_dialog_mnemonic(char letter);

// The dialog's controls as it lays them out, in dialog units (about 2 pixels
// each); a "&" in a text marks the mnemonic letter.
struct SetupDialogControl {
    enum Kind { Label, List, Button, DefaultButton, CheckBox };
    int id;  // 0 for labels
    Kind kind;
    const char* text;
    int x, y, width, height;
};
const std::vector<SetupDialogControl>& setup_dialog_controls();
// The ids of the controls that take the keyboard focus, in Tab order: every
// control but the labels, in the order above.
std::vector<int> setup_dialog_tab_order();
constexpr int kSetupDialogWidth = 135;
constexpr int kSetupDialogHeight = 75;

// A control text without its "&", and where the marked letter stands in it
// (-1 when nothing is marked).
struct MnemonicText {
    std::string text;
    int index;
};
MnemonicText split_mnemonic(const std::string& text);
