#pragma once
// The script actions' file services on the real Win32 API, and the two search and
// working-directory helpers that the shortcut and the directory chooser share.
#include <windows.h>

#include "script/script_services.h"

namespace setup {

// The whole working directory, however long; nothing when the platform cannot report it.
std::optional<std::string> QueryCurrentDirectory();

// Calls onEntry for every entry that FindFirstFileA/FindNextFileA return for the pattern,
// in their order, with the long name and the directory and hidden bits; the search is closed
// at the end, also when onEntry throws.
void ForEachFoundEntry(const std::string& pattern, const std::function<void(const FoundEntry&)>& onEntry);

class Win32ScriptServices final : public ScriptServices {
public:
    // directoryEdit shows each destination path; mainWindow is updated after each change. An
    // unattended run has neither (nullptr) and shows nothing.
    Win32ScriptServices(HWND directoryEdit, HWND mainWindow) : directoryEdit_(directoryEdit), mainWindow_(mainWindow) {}

    bool MakeDirectory(const std::string& path) override;
    bool CopyFileReplacing(const std::string& source, const std::string& destination) override;
    void ForEachEntry(const std::string& pattern, const std::function<void(const FoundEntry&)>& onEntry) override;
    std::optional<std::string> CurrentDirectory() override;
    bool ChangeDirectory(const std::string& path) override;
    bool WriteProfileKey(const std::string& section, const std::string& key, const std::string& value,
                         const std::string& file) override;
    void ShowDestination(const std::string& path) override;

private:
    HWND directoryEdit_;
    HWND mainWindow_;
};

}  // namespace setup
