#include "setup/command_line.h"

#include <algorithm>
#include <utility>

#include "base/ascii.h"

namespace setup {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kTargetSwitch = "/D=";
constexpr std::string_view kLogSwitch = "/LOG=";

// The file of a /LOG= switch and the length of the switch: up to the next blank, or between
// double quotes. Nothing for an empty or unclosed name.
std::optional<std::pair<std::string, size_t>> LogFile(std::string_view text) {
    std::string_view value = text.substr(kLogSwitch.size());
    if (!value.empty() && value.front() == '"') {
        size_t close = value.find('"', 1);
        if (close == std::string_view::npos || close == 1) return std::nullopt;
        // The closing quote ends the switch.
        if (close + 1 < value.size() && kBlanks.find(value[close + 1]) == std::string_view::npos) return std::nullopt;
        return std::pair{std::string(value.substr(1, close - 1)), kLogSwitch.size() + close + 1};
    }
    size_t end = std::min(value.find_first_of(kBlanks), value.size());
    if (end == 0) return std::nullopt;
    return std::pair{std::string(value.substr(0, end)), kLogSwitch.size() + end};
}

}  // namespace

const char* const kCommandLineHelp =
    "setup [/S] [/LOG=<file>] [/D=<directory>]\n\n"
    "/S  installs without the window and without any message box.\n"
    "/LOG=<file>  appends one line for every step to the file (a name with blanks in double quotes).\n"
    "/D=<directory>  the target directory instead of the script's; the last switch, it takes the "
    "rest of the line, blanks included.\n"
    "/?  shows this list.\n\n"
    "Exit codes: 0 installed, 1 error, 2 invalid directory, 3 switch not understood.";

std::optional<CommandLine> ParseCommandLine(std::string_view text) {
    CommandLine options;
    for (size_t pos = text.find_first_not_of(kBlanks); pos != std::string_view::npos;
         pos = text.find_first_not_of(kBlanks, pos)) {
        std::string_view rest = text.substr(pos);
        if (StartsWithIgnoreCase(rest, kTargetSwitch)) {
            options.target = rest.substr(kTargetSwitch.size());
            break;
        }
        if (StartsWithIgnoreCase(rest, kLogSwitch)) {
            std::optional<std::pair<std::string, size_t>> log = LogFile(rest);
            if (!log) return std::nullopt;
            options.logPath = log->first;
            pos += log->second;
            continue;
        }
        std::string_view word = rest.substr(0, rest.find_first_of(kBlanks));
        if (EqualsIgnoreCase(word, "/S"))
            options.unattended = true;
        else if (word == "/?")
            options.showHelp = true;
        else
            return std::nullopt;
        pos += word.size();
    }
    // A target or a log belongs to an unattended run.
    if ((options.target || options.logPath) && !options.unattended && !options.showHelp) return std::nullopt;
    return options;
}

}  // namespace setup
