#include "setup/report_fatal_win32.h"

#include "ui/message_box_win32.h"

namespace setup {

void ReportFatal(HWND mainWindow, const std::string& message) {
    // The hourglass of a word-list build would otherwise stay over the box.
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    ShowMessageBox(mainWindow, message, "Error", MessageIcon::Error);
    ExitProcess(1);
}

}  // namespace setup
