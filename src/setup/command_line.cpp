#include "setup/command_line.h"

#include "base/ascii.h"

namespace setup {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kTargetSwitch = "/D=";
constexpr std::string_view kLogSwitch = "/LOG=";
constexpr std::string_view kFinishSwitch = "/FINISH=";

bool IsBlank(char c) { return kBlanks.find(c) != std::string_view::npos; }

// Double quotes cannot be part of a Windows path: they only group blanks, and are dropped.
std::string WithoutQuotes(std::string_view text) {
    std::string result;
    for (char c : text)
        if (c != '"') result.push_back(c);
    return result;
}

}  // namespace

// The lines of the install as they always were, and those of /U.
const char* const kCommandLineHelp =
    "setup [/S] [/LOG=<file>] [/D=<directory>]\n"
    "uninstall /U [/S] [/LOG=<file>]\n\n"
    "/S  installs without the window and without any message box.\n"
    "/LOG=<file>  appends one line for every step to the file.\n"
    "/D=<directory>  the target directory instead of the script's; the last switch, it takes the "
    "rest of the line, blanks included.\n"
    "/U  removes the dictionary installed in uninstall.exe's own directory (setup.exe /U: the one in "
    "the working directory); with /S without any window or box.\n"
    "/?  shows this list.\n\n"
    "Exit codes: 0 installed, 1 error, 2 invalid directory, 3 switch not understood.\n"
    "Exit codes of /U: 0 removed (or not confirmed), 1 nothing removed, 4 removed but files there "
    "before or changed since kept, 5 not everything could be removed.";

std::optional<CommandLine> ParseCommandLine(std::string_view text) {
    CommandLine options;
    // A target or a log belongs to an unattended run.
    auto understood = [&options]() -> std::optional<CommandLine> {
        if ((options.target || options.logPath) && !options.unattended && !options.showHelp) return std::nullopt;
        if (options.target && options.uninstall) return std::nullopt;
        if (options.finish && (options.unattended || options.showHelp || options.uninstall || options.logPath))
            return std::nullopt;
        return options;
    };
    size_t pos = 0;
    while ((pos = text.find_first_not_of(kBlanks, pos)) != std::string_view::npos) {
        // A word as Windows reads an argument: blanks inside double quotes do not end it.
        std::string word;
        for (bool quoted = false; pos < text.size() && (quoted || !IsBlank(text[pos])); ++pos) {
            if (text[pos] == '"') {
                quoted = !quoted;
                continue;
            }
            word.push_back(text[pos]);
            if (EqualsIgnoreCase(word, kTargetSwitch) || EqualsIgnoreCase(word, kFinishSwitch)) {
                (word.size() == kTargetSwitch.size() ? options.target : options.finish) =
                    WithoutQuotes(text.substr(pos + 1));
                return understood();
            }
        }
        if (StartsWithIgnoreCase(word, kLogSwitch) && word.size() > kLogSwitch.size())
            options.logPath = word.substr(kLogSwitch.size());
        else if (EqualsIgnoreCase(word, "/S"))
            options.unattended = true;
        else if (EqualsIgnoreCase(word, "/U"))
            options.uninstall = true;
        else if (word == "/?")
            options.showHelp = true;
        else
            return std::nullopt;
    }
    return understood();
}

}  // namespace setup
