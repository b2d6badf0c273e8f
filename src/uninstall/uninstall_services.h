#pragma once
// What recording an install and removing it need from the system: hashing, the file system as
// Windows names it, the profile, the registry's uninstall entry, and the end of the uninstaller's
// own program. The Win32 layer carries them out; the rules above them stay portable.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace setup {

// An open file as it really is: the path it has once every link on the way is followed, its
// size and the SHA-256 of its bytes.
struct FileFacts {
    std::string finalPath;
    std::uint64_t size = 0;
    std::string sha256;
};

// The values of the Apps & features entry.
struct UninstallEntry {
    std::string displayName;
    std::string uninstallString;
    std::string quietUninstallString;
    std::string installLocation;
    std::string displayIcon;
    std::uint32_t estimatedSizeKb = 0;
    std::string recordSha256;  // the record's checksum, where only administrators can change it
    // The checksum of the record that is about to replace that one, accepted as well until the
    // entry is written again: the record and the entry are never out of step.
    std::string nextRecordSha256;
};

class UninstallServices {
public:
    virtual ~UninstallServices() = default;

    // SHA-256 as 64 lower-case hexadecimal digits.
    virtual std::string Sha256(std::string_view bytes) = 0;
    // The text two paths share when Windows takes them for the same name.
    virtual std::string PathKey(std::string_view path) = 0;
    // The full path with long names (a relative path: below the working directory); nothing
    // when the path cannot be made full.
    virtual std::optional<std::string> FullPath(const std::string& path) = 0;
    virtual bool Exists(const std::string& path) = 0;

    // Opens an existing file (not a directory), following links, so that nobody can write to or
    // delete it meanwhile; hashes it; deletes it when remove accepts its facts. Nothing when it
    // cannot be opened.
    struct Examined {
        FileFacts facts;
        bool removed = false;
    };
    virtual std::optional<Examined> ExamineFile(const std::string& path,
                                                const std::function<bool(const FileFacts&)>& remove) = 0;
    // The final path of a directory (links followed); nothing when it cannot be opened.
    virtual std::optional<std::string> FinalDirectoryPath(const std::string& path) = 0;
    // Removes an empty directory, or a link (junction, symbolic link) as the link itself.
    virtual bool RemoveEmptyDirectory(const std::string& path) = 0;

    // A profile key's value; nothing when the key does not exist.
    virtual std::optional<std::string> ReadProfileKey(const std::string& section, const std::string& key,
                                                      const std::string& file) = 0;
    // Writes a key, deletes it (no value), or deletes the whole section (no key).
    virtual bool WriteProfileKey(const std::string& section, const std::optional<std::string>& key,
                                 const std::optional<std::string>& value, const std::string& file) = 0;
    virtual bool ProfileSectionIsEmpty(const std::string& section, const std::string& file) = 0;

    // Copies the running program to the destination, replacing it.
    virtual bool CopyRunningProgram(const std::string& destination) = 0;
    // Deletes the uninstall program, then the directory when it is given and empty. When the
    // program is the one running, both happen just after this process has ended. False when the
    // program stays (or its end could not be started), or the directory stays though empty.
    virtual bool RemoveProgram(const std::string& program, const std::optional<std::string>& directory) = 0;

    // The uninstall entry under this key: in HKEY_LOCAL_MACHINE when this process may write
    // there, else in HKEY_CURRENT_USER. EntryName is its full name, for the log.
    virtual std::string EntryName(const std::string& key) = 0;
    virtual std::optional<UninstallEntry> ReadEntry(const std::string& key) = 0;
    // Writes every value but the next record's checksum, which it removes.
    virtual bool WriteEntry(const std::string& key, const UninstallEntry& entry) = 0;
    // Keeps the next record's checksum in the entry (its key made when there is none yet).
    virtual bool WriteNextRecordChecksum(const std::string& key, const std::string& sha256) = 0;
    virtual bool DeleteEntry(const std::string& key) = 0;
};

}  // namespace setup
