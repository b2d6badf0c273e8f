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

// Applies one line to the first-pass settings (title, dir, wbarg, debug).
void ApplyFirstPassLine(std::string_view line, InstallSettings& settings);

// The first pass over install.inf in settings.sourceDirectory.
// Throws FatalError "Can't open INSTALL.INF" when the script cannot be opened.
void ReadFirstPass(InstallSettings& settings);

}  // namespace setup
