#pragma once
// The uninstall services on the real Win32 API: BCrypt's SHA-256, file handles that keep a file
// fixed while it is looked at and deleted, the profile, the registry's uninstall entry, and the
// end of the running uninstaller's own file.
#include <windows.h>

#include "uninstall/uninstall_services.h"

namespace setup {

class Win32UninstallServices final : public UninstallServices {
public:
    std::string Sha256(std::string_view bytes) override;
    std::string PathKey(std::string_view path) override;
    std::optional<std::string> FullPath(const std::string& path) override;
    bool Exists(const std::string& path) override;
    std::optional<Examined> ExamineFile(const std::string& path,
                                        const std::function<bool(const FileFacts&)>& remove) override;
    std::optional<std::string> FinalDirectoryPath(const std::string& path) override;
    bool RemoveEmptyDirectory(const std::string& path) override;
    std::optional<std::string> ReadProfileKey(const std::string& section, const std::string& key,
                                              const std::string& file) override;
    bool WriteProfileKey(const std::string& section, const std::optional<std::string>& key,
                         const std::optional<std::string>& value, const std::string& file) override;
    bool ProfileSectionIsEmpty(const std::string& section, const std::string& file) override;
    bool CopyRunningProgram(const std::string& destination) override;
    bool RemoveProgram(const std::string& program, const std::optional<std::string>& directory) override;
    std::string EntryName(const std::string& key) override;
    std::optional<UninstallEntry> ReadEntry(const std::string& key) override;
    bool WriteEntry(const std::string& key, const UninstallEntry& entry) override;
    bool WriteNextRecordChecksum(const std::string& key, const std::string& sha256) override;
    bool DeleteEntry(const std::string& key) override;

private:
    HKEY EntryRoot();
    // The entry's key, made when there is none; nullptr when it cannot be.
    HKEY CreateEntryKey(const std::string& key);
    HKEY entryRoot_ = nullptr;
};

// The path of the running program.
std::string RunningProgramPath();

// The second half of removing a running uninstaller (setup.exe /FINISH=, started by
// RemoveProgram from a copy of itself in the temporary folder): waits for the uninstaller to
// end, deletes its file and, when asked, its directory once empty. The copy is deleted by the
// system when this process ends. The text: "<process handle>,<1: the directory too>,<program>".
int FinishUninstall(const std::string& text);

}  // namespace setup
