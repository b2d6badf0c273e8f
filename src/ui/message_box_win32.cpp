#include "ui/message_box_win32.h"

#include "ui/main_window_win32.h"

namespace setup {

void Win32MessageService::Show(const std::string& text, const std::string& caption, MessageIcon icon, bool owned) {
    UINT flags = MB_OK;
    if (icon == MessageIcon::Error) flags |= MB_ICONERROR;
    if (icon == MessageIcon::Warning) flags |= MB_ICONWARNING;
    HWND owner = owned ? TheMainWindow().window : nullptr;
    MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

}  // namespace setup
