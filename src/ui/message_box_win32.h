#pragma once
#include <windows.h>

#include "ui/message_service.h"

namespace setup {

// Real message boxes; an owned box belongs to the main window when it exists.
class Win32MessageService : public MessageService {
public:
    void Show(const std::string& text, const std::string& caption, MessageIcon icon, bool owned) override;
};

}  // namespace setup
