#include "script/script_actions.h"

#include <array>
#include <optional>
#include <string_view>

#include "base/ascii.h"
#include "base/fatal.h"
#include "script/install_script.h"

namespace setup {
namespace {

using Action = LineUse (*)(std::string_view line, ScriptPass& pass);

struct ScriptKey {
    std::string_view key;  // matched as a prefix of the line, over its whole length
    Action action;
};

bool FitsPathBuffer(const std::string& path) { return path.size() <= kMaxPathLength; }

// The arguments of "copy", "xcopy" and "sndcopy": the line cut at runs of blanks (a tab is part
// of a name), the key word skipped, the next two names taken, the rest ignored.
struct NamePair {
    std::string_view first;
    std::string_view second;
};

std::optional<NamePair> TwoNamesAfterKeyWord(std::string_view line) {
    std::array<std::string_view, 3> names;
    size_t count = 0;
    size_t pos = 0;
    while (count < names.size()) {
        pos = line.find_first_not_of(' ', pos);
        if (pos == std::string_view::npos) break;
        size_t end = line.find(' ', pos);
        names[count++] = line.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        pos = end;
    }
    if (count < names.size()) return std::nullopt;
    return NamePair{names[1], names[2]};
}

// The directory part of a search pattern, with its separator ("" for a bare pattern): the
// files found are copied from the directory that was searched.
std::string_view PatternDirectory(std::string_view pattern) {
    size_t separator = pattern.find_last_of("\\/");
    return separator == std::string_view::npos ? std::string_view() : pattern.substr(0, separator + 1);
}

// Copies every file (not directory) that the pattern finds in the working directory into
// target prefix + destination subdirectory, showing each destination path before its copy.
void CopyFoundFiles(ScriptPass& pass, std::string_view pattern, std::string_view destinationSubdirectory) {
    std::string destinationPrefix = pass.settings.targetPrefix;
    destinationPrefix.append(destinationSubdirectory).push_back('\\');
    std::string_view sourceDirectory = PatternDirectory(pattern);
    pass.services.ForEachEntry(std::string(pattern), [&](const FoundEntry& entry) {
        if (entry.isDirectory) return;
        std::string source = std::string(sourceDirectory) + entry.name;
        std::string destination = destinationPrefix + entry.name;
        if (!FitsPathBuffer(source) || !FitsPathBuffer(destination)) return;
        pass.services.ShowDestination(destination);
        pass.services.CopyFileReplacing(source, destination);
    });
}

// Runs body with the source directory as the working directory and makes the directory that
// was current before the line current again. A working directory that cannot be remembered
// whole would be restored wrongly, so the line is skipped then.
template <typename Body>
void InSourceDirectory(ScriptPass& pass, Body body) {
    if (!FitsPathBuffer(pass.sourcePrefix)) return;
    std::optional<std::string> remembered = pass.services.CurrentDirectory();
    if (!remembered || remembered->size() > kMaxRememberedDirectoryLength) return;
    if (pass.services.ChangeDirectory(pass.sourcePrefix)) body();
    pass.services.ChangeDirectory(*remembered);
}

// Every value key needs the blank that starts its value; a line without one is ignored.
template <typename Apply>
LineUse WithValue(std::string_view line, Apply apply) {
    std::optional<std::string_view> value = ValueAfterFirstBlank(line);
    if (!value) return LineUse::NoValue;
    apply(*value);
    return LineUse::Applied;
}

// The copying keys need two names; a line with fewer is ignored.
template <typename Apply>
LineUse WithNames(std::string_view line, Apply apply) {
    std::optional<NamePair> names = TwoNamesAfterKeyWord(line);
    if (!names) return LineUse::TooFewNames;
    apply(*names);
    return LineUse::Applied;
}

LineUse CreateTargetDirectory(std::string_view line, ScriptPass& pass) {
    return WithValue(line, [&pass](std::string_view value) {
        std::string path = pass.settings.targetPrefix + std::string(value);
        if (FitsPathBuffer(path)) pass.services.MakeDirectory(path);
    });
}

LineUse SetShortcutName(std::string_view line, ScriptPass& pass) {
    return WithValue(line, [&pass](std::string_view value) {
        pass.settings.shortcutFlag = true;
        pass.settings.shortcutName = value;
    });
}

LineUse WriteAviDelay(std::string_view line, ScriptPass& pass) {
    return WithValue(line, [&pass](std::string_view value) {
        pass.services.WriteProfileKey(kProfileSection, "EnglishAviDelay", std::string(value), kProfileFile);
    });
}

// Key name: from the first blank to the first "=" after it; key value: the rest of the line.
// Both keep their blanks. A value without "=", or with nothing before it, names no key.
LineUse WriteIniKey(std::string_view line, ScriptPass& pass) {
    std::optional<std::string_view> value = ValueAfterFirstBlank(line);
    if (!value) return LineUse::NoValue;
    size_t equals = value->find('=');
    if (equals == std::string_view::npos || equals == 0) return LineUse::NoIniKey;
    pass.services.WriteProfileKey(kProfileSection, std::string(value->substr(0, equals)),
                                  std::string(value->substr(equals + 1)), kProfileFile);
    return LineUse::Applied;
}

LineUse SetGroupName(std::string_view line, ScriptPass& pass) {
    return WithValue(line, [&pass](std::string_view value) { pass.settings.groupName = value; });
}

LineUse SetShortcutProgram(std::string_view line, ScriptPass& pass) {
    return WithValue(line, [&pass](std::string_view value) { pass.settings.shortcutProgram = value; });
}

LineUse SetDisplayFile(std::string_view line, ScriptPass& pass) {
    return WithValue(line, [&pass](std::string_view value) { pass.settings.displayFile = value; });
}

LineUse RequestWordLists(std::string_view, ScriptPass& pass) {
    pass.settings.buildWordListsFlag = true;
    return LineUse::Applied;
}

LineUse CopyOneFile(std::string_view line, ScriptPass& pass) {
    return WithNames(line, [&pass](const NamePair& names) {
        std::string source = pass.sourcePrefix + std::string(names.first);
        std::string destination = pass.settings.targetPrefix + std::string(names.second);
        if (!FitsPathBuffer(source) || !FitsPathBuffer(destination)) return;
        pass.services.ShowDestination(destination);
        pass.services.CopyFileReplacing(source, destination);
    });
}

LineUse CopyMatchingFiles(std::string_view line, ScriptPass& pass) {
    return WithNames(line, [&pass](const NamePair& names) {
        InSourceDirectory(pass, [&] { CopyFoundFiles(pass, names.first, names.second); });
    });
}

LineUse CopySubdirectory(std::string_view line, ScriptPass& pass) {
    return WithNames(line, [&pass](const NamePair& names) {
        InSourceDirectory(pass, [&] {
            if (pass.services.ChangeDirectory(std::string(names.first))) CopyFoundFiles(pass, "*.*", names.second);
        });
    });
}

// Tested in this order; the first key the line begins with performs its action.
constexpr std::array<ScriptKey, 11> kScriptKeys{{
    {"mkdir", CreateTargetDirectory},
    {"iconname", SetShortcutName},
    {"avidelay", WriteAviDelay},
    {"setini", WriteIniKey},
    {"icongroup", SetGroupName},
    {"iconexe", SetShortcutProgram},
    {"display", SetDisplayFile},
    {"mkwlist", RequestWordLists},
    {"copy", CopyOneFile},
    {"xcopy", CopyMatchingFiles},
    {"sndcopy", CopySubdirectory},
}};

}  // namespace

ScriptPass::ScriptPass(InstallSettings& passSettings, ScriptServices& passServices)
    : settings(passSettings), services(passServices), sourcePrefix(DirectoryPrefix(passSettings.sourceDirectory)) {
    settings.targetPrefix = DirectoryPrefix(settings.targetDirectory);
}

ScriptLineUse ApplyScriptLine(std::string_view line, ScriptPass& pass) {
    for (const ScriptKey& entry : kScriptKeys) {
        if (StartsWithIgnoreCase(line, entry.key)) return {entry.action(line, pass), entry.key};
    }
    return {};
}

void RunScriptActions(InstallSettings& settings, ScriptServices& services) {
    ScriptPass pass(settings, services);
    bool opened = ForEachScriptLine(InstallScriptPath(settings.sourceDirectory),
                                    [&pass](std::string_view line) { ApplyScriptLine(line, pass); });
    if (!opened) ThrowFatal("Can't open INSTALL.INF");
}

}  // namespace setup
