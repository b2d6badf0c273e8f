#pragma once
// The run without the window (setup.exe /S), and the start-up it shares with the window's run.
#include "script/install_settings.h"
#include "setup/command_line.h"

namespace setup {

// The source directory (the working directory at start) and the first pass over its
// install.inf. Throws FatalError "Can't open INSTALL.INF" when the script cannot be opened or
// the working directory is too long to be the source directory.
void ReadStartSettings(InstallSettings& settings);

// Installs as a press on Start would, into options.target or the script's "dir" value, without
// the window and without any message box: each step, and each box and fatal error a run with
// the window would show, is a line of the log options.logPath (no log without it). Returns the
// exit code.
int RunUnattended(const CommandLine& options);

}  // namespace setup
