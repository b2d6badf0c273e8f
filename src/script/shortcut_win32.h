#pragma once
// The program-group shortcut: a .lnk file in a group folder under the Start menu's Programs
// folder, written through the shell link object. Every failure is silent.
#include <windows.h>

#include <optional>
#include <string>

#include "script/install_settings.h"
#include "script/program_shortcut.h"

namespace setup {

// Saves settings.shortcutName + ".lnk" in settings.groupName under the Programs folder (in the
// Programs folder itself when the group cannot be made or entered). Target: target prefix +
// shortcut program; working directory: the target prefix; arguments: the "wbarg" text.
// Needs COM initialised on this thread; owner owns the shell's folder lookup. Leaves the
// group folder as the working directory. Returns the path of the shortcut saved (nothing when
// none was), whether a file of that name was there before, and the group folder when it was
// made here: the unattended run logs the shortcut, the uninstall record keeps all three.
ProgramShortcut CreateProgramShortcut(const InstallSettings& settings, HWND owner);

// Creates the shell link object, sets its target path, arguments and working directory, and
// saves it at linkPath (ANSI code page). Returns the result of the last step that ran.
HRESULT WriteShellLink(const std::string& targetPath, const std::string& linkPath, const std::string& workingDirectory,
                       const std::string& arguments);

}  // namespace setup
