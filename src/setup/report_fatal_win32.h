#pragma once
#include <windows.h>

#include <string>

namespace setup {

// Shows the error in a box owned by the main window (nullptr before it exists) and ends the
// process with exit code 1. Files being written stay as they are.
[[noreturn]] void ReportFatal(HWND mainWindow, const std::string& message);

}  // namespace setup
