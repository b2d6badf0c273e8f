#include "script/install_script.h"

#include <array>

#include "base/ascii.h"
#include "base/fatal.h"
#include "base/significant_lines.h"

namespace setup {

std::string DirectoryPrefix(std::string_view dir) {
    std::string prefix(dir);
    if (prefix.empty() || prefix.back() != '\\') prefix.push_back('\\');
    return prefix;
}

std::string InstallScriptPath(std::string_view sourceDirectory) {
    return DirectoryPrefix(sourceDirectory) + "install.inf";
}

bool ForEachScriptLine(const std::string& path, const std::function<void(std::string_view)>& onLine) {
    TextReader reader(path);
    if (!reader.IsOpen()) return false;
    std::string line;
    while (ReadSignificantLine(reader, line)) onLine(line);
    return true;
}

std::optional<std::string_view> ValueAfterFirstBlank(std::string_view line) {
    size_t blank = line.find(' ');
    if (blank == std::string_view::npos) return std::nullopt;
    return line.substr(blank + 1);
}

namespace {

enum class FirstPassKey { Title, Dir, WbArg, Debug, Uninstall };

struct FirstPassEntry {
    std::string_view key;
    FirstPassKey action;
};

constexpr std::array<FirstPassEntry, 5> kFirstPassKeys{{
    {"title", FirstPassKey::Title},
    {"dir", FirstPassKey::Dir},
    {"wbarg", FirstPassKey::WbArg},
    {"debug", FirstPassKey::Debug},
    {"uninstall", FirstPassKey::Uninstall},
}};

}  // namespace

ScriptLineUse ApplyFirstPassLine(std::string_view line, InstallSettings& settings) {
    for (const FirstPassEntry& entry : kFirstPassKeys) {
        if (!StartsWithIgnoreCase(line, entry.key)) continue;
        // A key line without a blank has no value and changes nothing.
        std::optional<std::string_view> value = ValueAfterFirstBlank(line);
        if (!value) return {LineUse::NoValue, entry.key};
        switch (entry.action) {
            case FirstPassKey::Title: settings.titleText = *value; break;
            case FirstPassKey::Dir: settings.defaultTarget = *value; break;
            case FirstPassKey::WbArg: settings.shortcutArguments = *value; break;
            case FirstPassKey::Debug: settings.detailFlag = *value != "0"; break;
            case FirstPassKey::Uninstall: settings.uninstallName = *value; break;
        }
        return {LineUse::Applied, entry.key};
    }
    return {};
}

void ReadFirstPass(InstallSettings& settings) {
    bool opened = ForEachScriptLine(InstallScriptPath(settings.sourceDirectory),
                                    [&settings](std::string_view line) { ApplyFirstPassLine(line, settings); });
    if (!opened) ThrowFatal("Can't open INSTALL.INF");
}

}  // namespace setup
