// The setup dialog on screen: a small window of its own, drawn with Dear
// ImGui, that runs modally before the program's window exists.
#pragma once

#include <functional>
#include <vector>

#include "system/setup_dialog_model.h"

// Shows the dialog and returns how it ended: SetupDialogId::Run,
// SetupDialogId::GetAvi or SetupDialogId::Quit (also Escape and the close
// box), kSetupDialogFailed when it cannot be shown. `instance` and `parent`
// are unused on this platform.
int show_setup_dialog(void* instance, void* parent);

// The display's modes, smallest first.
std::vector<DisplayMode> display_modes();

// What Get mp3 runs before the dialog takes the keyboard back: the program
// hands in the data layer's soundtrack export (that layer sits above this
// one) before it shows the dialog. Without one, Get mp3 does nothing.
void set_soundtrack_export(std::function<void()> export_soundtrack);
