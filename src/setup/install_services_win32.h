#pragma once
// The Start command on the main window and the real Win32 services.
#include <optional>
#include <string>

#include "ui/main_window_win32.h"

namespace setup {

// The Start command of the window: runs the install sequence on the edit box's text.
void OnStartCommand(RunState& run);

// The target directory for the text when it names an existing entry or a directory created
// here: an absolute text as typed, a relative one made absolute; nothing when the text is
// refused.
std::optional<std::string> AcceptTargetDirectory(const std::string& text);

}  // namespace setup
