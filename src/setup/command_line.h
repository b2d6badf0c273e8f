#pragma once
// The switches of setup.exe: /S installs without the window, /D= names the target, /LOG= the
// log, /? lists them. Without any switch the window runs as always.
#include <optional>
#include <string>
#include <string_view>

namespace setup {

// The exit codes of the process.
enum ExitCode : int {
    kExitDone = 0,  // installed; also after Stop in the window and after /?
    kExitFatal = 1,
    kExitTargetRefused = 2,
    kExitSwitchNotUnderstood = 3,
};

struct CommandLine {
    bool unattended = false;             // /S
    bool showHelp = false;               // /?
    std::optional<std::string> target;   // /D=<directory>
    std::optional<std::string> logPath;  // /LOG=<file>
};

// Reads the switches after the program's name (WinMain's command line): case-insensitive, in
// any order, separated by blanks or tabs; double quotes group blanks and are dropped, as in any
// Windows argument (so "/LOG=c:\my logs\a.log" works). /D= is the last switch: its directory is
// the rest of the line, blanks included. Nothing when a switch is not understood: an unknown
// one, /LOG= without a file, or /D= or /LOG= without /S (or /?).
std::optional<CommandLine> ParseCommandLine(std::string_view text);

// The text of the box that /? shows.
extern const char* const kCommandLineHelp;

}  // namespace setup
