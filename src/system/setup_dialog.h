// The setup dialog on screen: a small window of its own, drawn with Dear
// ImGui, that runs modally before the program's window exists.
#pragma once

#include <vector>

#include "system/setup_dialog_model.h"

// Shows the dialog and returns how it ended: SetupDialogId::Run,
// SetupDialogId::GetAvi or SetupDialogId::Quit (also Escape and the close
// box), kSetupDialogFailed when it cannot be shown. `instance` and `parent`
// are unused on this platform.
int show_setup_dialog(void* instance, void* parent);

// The display's modes, smallest first.
std::vector<DisplayMode> display_modes();

// Get mp3: exports the soundtrack into the current folder.
void export_soundtrack();
