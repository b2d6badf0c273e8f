#include "setup/report_fatal_win32.h"

#include <windows.h>

#include "ui/main_window_win32.h"
#include "ui/message_box_win32.h"

namespace setup {

void ReportFatal(const std::string& message) {
    // The hourglass of a word-list build would otherwise stay over the box.
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    Win32MessageService().Show(message, "Error", MessageIcon::Error, true);
    ExitProcess(1);
}

}  // namespace setup
