#pragma once
#include <windows.h>

#include "base/message_service.h"

namespace setup {

// A message box with an OK button and the icon, owned by owner (nullptr: no owner).
void ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, MessageIcon icon);

// Real message boxes; an owned box belongs to the main window while it exists.
class Win32MessageService final : public MessageService {
public:
    // mainWindow: the main window's handle as the run keeps it (nullptr once it is destroyed).
    explicit Win32MessageService(const HWND& mainWindow) : mainWindow_(mainWindow) {}
    void Show(const std::string& text, const std::string& caption, MessageIcon icon, bool owned) override {
        ShowMessageBox(owned ? mainWindow_ : nullptr, text, caption, icon);
    }

private:
    const HWND& mainWindow_;
};

}  // namespace setup
