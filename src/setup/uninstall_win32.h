#pragma once
// The run of uninstall.exe /U (or setup.exe /U started in the target): removes the install
// recorded in the program's directory (setup.exe: in the working directory), asking first and
// closing with a box, or with /S without any box, each step a line of the /LOG= file.
#include "setup/command_line.h"

namespace setup {

// Returns the exit code: 0 removed (or the user said no), 1 nothing removed, 4 removed with
// files kept, 5 a step failed.
int RunUninstall(const CommandLine& options);

}  // namespace setup
