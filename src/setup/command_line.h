#pragma once
// The switches of setup.exe: /S installs without the window, /D= names the target, /LOG= the
// log, /U removes an install, /? lists them. Without any switch the window runs as always.
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
    kExitRemovedKeptFiles = 4,  // removed, but files there before the install or changed since kept
    kExitRemovalIncomplete = 5,  // a step of the removal failed
};

struct CommandLine {
    bool unattended = false;             // /S
    bool showHelp = false;               // /?
    bool uninstall = false;              // /U
    std::optional<std::string> target;   // /D=<directory>
    std::optional<std::string> logPath;  // /LOG=<file>
    std::optional<std::string> finish;   // /FINISH=<...>: the end of a removal, started by itself
};

// Reads the switches after the program's name (WinMain's command line): case-insensitive, in
// any order, separated by blanks or tabs; double quotes group blanks and are dropped, as in any
// Windows argument (so "/LOG=c:\my logs\a.log" works). /D= is the last switch: its directory is
// the rest of the line, blanks included; so is /FINISH=, which comes alone. Nothing when a switch
// is not understood: an unknown one, /LOG= without a file, /D= or /LOG= without /S (or /?), /D=
// with /U, or /FINISH= with any other switch.
std::optional<CommandLine> ParseCommandLine(std::string_view text);

// The text of the box that /? shows.
extern const char* const kCommandLineHelp;

}  // namespace setup
