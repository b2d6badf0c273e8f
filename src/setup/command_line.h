#pragma once
// The switches of setup.exe: /S installs without the window, /D= names the target, /LOG= the
// log, /? lists them. Without any switch the window runs as always.
#include <optional>
#include <string>
#include <string_view>

namespace setup {

// The exit codes of the process.
enum ExitCode : int {
    kExitInstalled = 0,  // also after Stop in the window
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

// Reads the switches after the program's name (WinMain's command line): separated by blanks or
// tabs, case-insensitive, in any order. /D= is the last switch: its directory is the rest of the
// line, blanks included. A /LOG= file with blanks is written in double quotes. Nothing when a
// switch is not understood: an unknown one, /LOG= without a file, or /D= or /LOG= without /S.
std::optional<CommandLine> ParseCommandLine(std::string_view text);

// The text of the box that /? shows.
extern const char* const kCommandLineHelp;

}  // namespace setup
