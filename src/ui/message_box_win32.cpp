#include "ui/message_box_win32.h"

namespace setup {

void ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, MessageIcon icon) {
    UINT flags = MB_OK;
    if (icon == MessageIcon::Error) flags |= MB_ICONERROR;
    if (icon == MessageIcon::Warning) flags |= MB_ICONWARNING;
    MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

}  // namespace setup
