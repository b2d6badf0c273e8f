#pragma once
// What making the program-group shortcut did, for the log and for the uninstall record.
#include <optional>
#include <string>

namespace setup {

struct ProgramShortcut {
    std::optional<std::string> linkPath;      // the shortcut saved; nothing when none was
    bool linkExisted = false;                 // a file of that name was there before
    std::optional<std::string> createdGroup;  // the group folder, when this run made it
};

}  // namespace setup
