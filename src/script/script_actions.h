#pragma once
// The second pass over install.inf: directories, copies, win.ini keys and the settings of the
// later install steps (word lists, display file, shortcut).
#include <cstddef>
#include <string>
#include <string_view>

#include "script/install_script.h"
#include "script/install_settings.h"
#include "script/script_services.h"

namespace setup {

// Longest path an action forms: a buffer of 260 with its terminator. Longer: action skipped.
constexpr size_t kMaxPathLength = 259;

// The working directory that an "xcopy" or "sndcopy" line remembers is fetched with a buffer
// of 259 characters; a longer one cannot be restored, so the line is skipped.
constexpr size_t kMaxRememberedDirectoryLength = 258;

// The section of win.ini that "avidelay" and "setini" lines write to.
constexpr const char* kProfileSection = "Dictionary";
constexpr const char* kProfileFile = "win.ini";

// What the second pass works on: the settings it records, the services it acts through and the
// source prefix. Made at the start of the pass; it forms the target prefix (stored in settings)
// and the source prefix.
struct ScriptPass {
    ScriptPass(InstallSettings& passSettings, ScriptServices& passServices);

    InstallSettings& settings;
    ScriptServices& services;
    std::string sourcePrefix;
};

// Carries out one significant line of install.inf: the first key that matches performs its
// action. The word-list tool's medium check feeds the lines one by one to services that only look.
ScriptLineUse ApplyScriptLine(std::string_view line, ScriptPass& pass);

// Carries out every line of install.inf in settings.sourceDirectory. Failures of the actions
// are silent. Throws FatalError "Can't open INSTALL.INF" when the script cannot be opened.
void RunScriptActions(InstallSettings& settings, ScriptServices& services);

}  // namespace setup
