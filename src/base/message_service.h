#pragma once
// Message boxes as the core sees them. The Win32 layer shows real boxes; tests record.
#include <string>

namespace setup {

enum class MessageIcon { None, Error, Warning };

class MessageService {
public:
    virtual ~MessageService() = default;
    // owned: the main window owns the box (when it exists); otherwise the box has no owner.
    // Returns when the user has closed the box.
    virtual void Show(const std::string& text, const std::string& caption, MessageIcon icon, bool owned) = 0;
};

}  // namespace setup
