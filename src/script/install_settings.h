#pragma once
// The settings of one run, filled by the two passes over install.inf and by Start.
#include <string>

namespace setup {

// Longest directory text the program takes (a path buffer of 260 with its terminator).
constexpr size_t kMaxDirectoryLength = 259;

struct InstallSettings {
    std::string sourceDirectory;         // working directory at start-up, absolute
    std::string titleText;               // "title"
    std::string defaultTarget = "c:\\";  // "dir": initial text of the directory edit box
    std::string shortcutArguments;       // "wbarg"
    bool detailFlag = true;              // "debug" 0 turns the detail lines off
    std::string uninstallName;           // "uninstall": the name in Apps & features; empty: none

    std::string targetDirectory;  // the edit box's text at Start, as typed
    std::string targetPrefix;     // targetDirectory with exactly one trailing backslash

    bool shortcutFlag = false;        // "iconname"
    std::string shortcutName;         // "iconname"
    std::string groupName;            // "icongroup"
    std::string shortcutProgram;      // "iconexe"
    std::string displayFile;          // "display"
    bool buildWordListsFlag = false;  // "mkwlist"
};

}  // namespace setup
