#pragma once
// The install.inf line format, shared by both passes, and the first pass.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "script/install_settings.h"

namespace setup {

// dir followed by one backslash, unless it already ends in one (a drive root does).
std::string DirectoryPrefix(std::string_view dir);

// The path of install.inf in the given source directory.
std::string InstallScriptPath(std::string_view sourceDirectory);

// Calls onLine for every significant line of the script (base/significant_lines.h).
// Returns false when the file cannot be opened.
bool ForEachScriptLine(const std::string& path, const std::function<void(std::string_view)>& onLine);

// The text after the first blank of the line; nothing when the line has no blank.
std::optional<std::string_view> ValueAfterFirstBlank(std::string_view line);

// What a pass made of one significant line. Every use but Applied means the pass ignored the
// line; the word-list tool's medium check reports those.
enum class LineUse {
    Applied,      // a key matched, and the line holds what its action needs
    NoKey,        // no key of the pass matches
    NoValue,      // the key takes a value, and the line has no blank
    NoIniKey,     // "setini" whose value has no "=", or nothing before it
    TooFewNames,  // "copy", "xcopy" or "sndcopy" with fewer than two names
};

struct ScriptLineUse {
    LineUse use = LineUse::NoKey;
    std::string_view key;  // the key that matched; empty for NoKey
};

// Applies one line to the first-pass settings (title, dir, wbarg, debug, uninstall).
ScriptLineUse ApplyFirstPassLine(std::string_view line, InstallSettings& settings);

// The first pass over install.inf in settings.sourceDirectory.
// Throws FatalError "Can't open INSTALL.INF" when the script cannot be opened.
void ReadFirstPass(InstallSettings& settings);

}  // namespace setup
