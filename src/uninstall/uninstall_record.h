#pragma once
// The record of what the installs into one target wrote, kept in the target as "uninstall.dat":
// the only list the uninstaller removes from. A text file of tab-separated fields, one entry a
// line, closed by the SHA-256 of everything before that line; a copy of that checksum is kept
// in the uninstall entry of the registry, so a record edited here is refused even when its own
// checksum was made anew.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace setup {

constexpr const char* kUninstallRecordName = "uninstall.dat";
constexpr const char* kUninstallProgramName = "uninstall.exe";

// A file an install created or overwrote.
struct RecordedFile {
    std::string path;  // full path
    bool existedBefore = false;
    std::uint64_t size = 0;
    std::string sha256;  // of the bytes written: 64 lower-case hexadecimal digits
};

// A profile key an install wrote, with its value before the first install that wrote it.
struct RecordedIniKey {
    std::string file;
    std::string section;
    std::string key;
    std::string written;
    std::optional<std::string> before;  // nothing: the key did not exist
};

struct UninstallRecord {
    std::string name;                      // the "uninstall" value: the name shown in Apps & features
    std::string key;                       // the entry's key under Software\Microsoft\Windows\CurrentVersion\Uninstall
    std::string target;                    // the target directory, a full path
    std::vector<std::string> directories;  // created by the installs, parents before children
    std::vector<RecordedFile> files;       // in the order written
    std::vector<RecordedIniKey> iniKeys;   // in the order written
};

// The SHA-256 of bytes as 64 lower-case hexadecimal digits (the platform's hashing).
using Sha256Function = std::function<std::string(std::string_view bytes)>;
// The text two paths have in common when Windows takes them for the same name (case folded), in
// which a backslash byte is a backslash (UTF-8, say).
using PathKeyFunction = std::function<std::string(std::string_view path)>;

// The record's bytes: its lines with CR LF, the checksum line last. Nothing when the reader would
// refuse them (a path that is not a plain full path, a checksum that is no SHA-256, a path named
// twice...): such a record is never written, so it never stops a removal.
std::optional<std::string> RecordText(const UninstallRecord& record, const Sha256Function& sha256,
                                      const PathKeyFunction& pathKey);

struct RecordReading {
    std::optional<UninstallRecord> record;  // nothing: the record is refused
    std::string problem;                    // why it is refused
    std::string sha256;                     // the checksum the record holds (when it is read)
};

// Reads the bytes of a record. Refused: any line that is not an entry of the format, a field
// that is not what it must be, a path that is not a plain full path (no ".", "..", "/", no empty
// or blank-ended names), a path or profile key named twice, a checksum that does not match or
// bytes after it.
RecordReading ReadRecordText(std::string_view text, const Sha256Function& sha256, const PathKeyFunction& pathKey);

// Whether the bytes begin with the first line of this program's records.
bool BeginsAsRecord(std::string_view bytes);

// A full path as the record keeps it: "X:\..." or "\\server\share\...", every name plain.
bool IsPlainFullPath(std::string_view path);

// The directory part of a full path ("C:\a" for "C:\a\b", "C:\" for "C:\a").
std::string ParentDirectory(std::string_view path);

// The path of a name in a directory, with one backslash between them.
std::string PathInDirectory(std::string_view directory, std::string_view name);

// Whether the path key names the record or the uninstall.exe in the target: the uninstaller's
// own files, never among those it removes.
bool IsUninstallerFile(std::string_view fileKey, std::string_view target, const PathKeyFunction& pathKey);

// Whether the path's last name is the uninstaller's program name, in any case.
bool NamesUninstallProgram(std::string_view path);

// A profile key named as one text, for the path keys of profile keys: file, section and key
// apart by tabs.
std::string ProfileKeyPath(std::string_view file, std::string_view section, std::string_view key);

// Whether the path lies below the directory; both are path keys.
bool IsBelow(std::string_view pathKey, std::string_view directoryKey);

}  // namespace setup
