#include "uninstall/uninstall_services_win32.h"

#include <bcrypt.h>

#include "base/win32_handles.h"
#include "uninstall/uninstall_record.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace setup {

namespace {

constexpr const char* kUninstallKeys = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// Both builds keep the entry in the 32-bit view of the registry (its only view on 32-bit
// Windows): a target installed by one and then by the other has one entry.
constexpr REGSAM kEntryView = KEY_WOW64_32KEY;
constexpr const char* kNextRecordSha256 = "NextRecordSha256";

std::string EntryPath(const std::string& key) { return std::string(kUninstallKeys) + "\\" + key; }
// Longest section or value the profile is asked for.
constexpr size_t kMaxProfileText = 1 << 20;
constexpr size_t kReadChunk = 1 << 20;
// How long the second half waits for the uninstaller to end, and tries to delete its file.
constexpr DWORD kWaitForUninstallerMs = 60000;
constexpr int kDeleteAttempts = 50;
constexpr DWORD kDeleteRetryMs = 100;

// One SHA-256 computation through BCrypt.
class Sha256Hash {
public:
    Sha256Hash() {
        if (BCryptOpenAlgorithmProvider(&algorithm_, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0) algorithm_ = nullptr;
        if (algorithm_ && BCryptCreateHash(algorithm_, &hash_, nullptr, 0, nullptr, 0, 0) != 0) hash_ = nullptr;
    }
    ~Sha256Hash() {
        if (hash_) BCryptDestroyHash(hash_);
        if (algorithm_) BCryptCloseAlgorithmProvider(algorithm_, 0);
    }
    Sha256Hash(const Sha256Hash&) = delete;
    Sha256Hash& operator=(const Sha256Hash&) = delete;

    void Add(const void* bytes, ULONG size) {
        if (hash_) BCryptHashData(hash_, static_cast<PUCHAR>(const_cast<void*>(bytes)), size, 0);
    }
    // Empty when the platform could not hash: such a checksum matches nothing.
    std::string Hex() {
        UCHAR digest[32];
        if (!hash_ || BCryptFinishHash(hash_, digest, sizeof digest, 0) != 0) return {};
        std::string hex;
        for (UCHAR byte : digest) {
            hex += "0123456789abcdef"[byte >> 4];
            hex += "0123456789abcdef"[byte & 15];
        }
        return hex;
    }

private:
    BCRYPT_ALG_HANDLE algorithm_ = nullptr;
    BCRYPT_HASH_HANDLE hash_ = nullptr;
};

// GetFinalPathNameByHandle's path as the program writes paths: without "\\?\" ("\\?\UNC\" is
// "\\").
std::optional<std::string> FinalPathOf(HANDLE handle) {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleA(handle, path.data(), static_cast<DWORD>(path.size()), 0);
        if (length == 0) return std::nullopt;
        if (length < path.size()) {
            std::string text(path.data(), length);
            if (text.starts_with("\\\\?\\UNC\\")) return text.erase(2, 6);
            if (text.starts_with("\\\\?\\")) return text.erase(0, 4);
            return text;
        }
        path.resize(length + 1);
    }
}

std::optional<std::string> QueryString(HKEY key, const char* name) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) return {};
    std::vector<char> value(size + 1);
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) != ERROR_SUCCESS)
        return {};
    return std::string(value.data());
}

bool SetString(HKEY key, const char* name, const std::string& value) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool SetNumber(HKEY key, const char* name, DWORD value) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
           ERROR_SUCCESS;
}

// A copy of the running program in the temporary folder, started to finish the removal once this
// process has ended. The copy is opened for deletion on close, and the handle inherited by it: the
// system deletes the copy when the copy ends, and at the next start of Windows at the latest. It
// inherits that handle and the one of this process, and no other (the log's file, say).
bool StartSecondHalf(const std::string& program, bool withDirectory) {
    char folder[MAX_PATH], copy[MAX_PATH];
    if (!GetTempPathA(MAX_PATH, folder) || !GetTempFileNameA(folder, "dun", 0, copy)) return false;
    if (!CopyFileA(RunningProgramPath().c_str(), copy, FALSE)) {
        DeleteFileA(copy);
        return false;
    }
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const UniqueHandle doomed(CreateFileA(copy, DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, &inheritable,
                                          OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (doomed.get() == INVALID_HANDLE_VALUE) {
        DeleteFileA(copy);
        return false;
    }
    MoveFileExA(copy, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    HANDLE self = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, SYNCHRONIZE, TRUE, 0))
        return false;
    const UniqueHandle selfHandle(self);
    std::string commandLine = std::string("\"").append(copy).append("\" /FINISH=");
    commandLine += std::to_string(reinterpret_cast<std::uintptr_t>(self)) + (withDirectory ? ",1," : ",0,") + program;
    HANDLE inherited[] = {doomed.get(), self};
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<char> attributes(size);
    STARTUPINFOEXA startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.lpAttributeList = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data());
    if (!InitializeProcThreadAttributeList(startup.lpAttributeList, 1, 0, &size)) return false;
    PROCESS_INFORMATION started{};
    const bool ok = UpdateProcThreadAttribute(startup.lpAttributeList, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                              sizeof inherited, nullptr, nullptr) &&
                    CreateProcessA(copy, commandLine.data(), nullptr, nullptr, TRUE, EXTENDED_STARTUPINFO_PRESENT,
                                   nullptr, folder, &startup.StartupInfo, &started);
    DeleteProcThreadAttributeList(startup.lpAttributeList);
    if (!ok) return false;
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

}  // namespace

std::string RunningProgramPath() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) return std::string(path.data(), length);
        path.resize(path.size() * 2);
    }
}

std::string Win32UninstallServices::Sha256(std::string_view bytes) {
    Sha256Hash hash;
    hash.Add(bytes.data(), static_cast<ULONG>(bytes.size()));
    return hash.Hex();
}

std::string Win32UninstallServices::PathKey(std::string_view path) {
    // Folded as NTFS folds names: in UTF-16, upper case by the invariant locale. Kept as UTF-8,
    // where a backslash byte is always a backslash, so that IsBelow can compare keys byte by byte.
    const int length = MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(), length);
    LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, wide.c_str(), length, wide.data(), length);
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string key(static_cast<size_t>(std::max(size, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, key.data(), size, nullptr, nullptr);
    return key;
}

std::optional<std::string> Win32UninstallServices::FullPath(const std::string& path) {
    std::vector<char> full(MAX_PATH);
    DWORD length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length + 1);
        length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    if (length == 0 || length >= full.size()) return std::nullopt;
    // Short names (PROGRA~1) written out, where the entry exists.
    std::vector<char> longer(32768);
    const DWORD longLength = GetLongPathNameA(full.data(), longer.data(), static_cast<DWORD>(longer.size()));
    std::string text = longLength > 0 && longLength < longer.size() ? std::string(longer.data(), longLength)
                                                                    : std::string(full.data(), length);
    // "C:\Dictionary\" names the directory "C:\Dictionary"; only a root keeps its backslash.
    if (text.ends_with('\\') && IsPlainFullPath(text.substr(0, text.size() - 1))) text.pop_back();
    return text;
}

bool Win32UninstallServices::Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<UninstallServices::Examined> Win32UninstallServices::ExamineFile(
    const std::string& path, const std::function<bool(const FileFacts&)>& remove) {
    // Shared for reading only: nobody changes or deletes the file between its hash and its end.
    // A file that may not be deleted is still looked at.
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ | DELETE | FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE)
        file.reset(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return std::nullopt;
    Examined examined;
    const std::optional<std::string> finalPath = FinalPathOf(file.get());
    LARGE_INTEGER size{};
    if (!finalPath || !GetFileSizeEx(file.get(), &size)) return std::nullopt;
    examined.facts.finalPath = *finalPath;
    examined.facts.size = static_cast<std::uint64_t>(size.QuadPart);
    Sha256Hash hash;
    std::vector<char> chunk(kReadChunk);
    DWORD got = 0;
    std::uint64_t total = 0;
    while (ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) && got > 0) {
        hash.Add(chunk.data(), got);
        total += got;
    }
    examined.facts.sha256 = total == examined.facts.size ? hash.Hex() : std::string();
    if (!remove(examined.facts)) return examined;
    // A file copied from a read-only medium keeps its read-only attribute, which forbids deletion.
    FILE_BASIC_INFO basic{};
    if (GetFileInformationByHandleEx(file.get(), FileBasicInfo, &basic, sizeof basic) &&
        (basic.FileAttributes & FILE_ATTRIBUTE_READONLY)) {
        basic.FileAttributes = (basic.FileAttributes & ~FILE_ATTRIBUTE_READONLY) | FILE_ATTRIBUTE_NORMAL;
        SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof basic);
    }
    FILE_DISPOSITION_INFO disposition{TRUE};
    examined.removed = SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof disposition);
    return examined;
}

std::optional<std::string> Win32UninstallServices::FinalDirectoryPath(const std::string& path) {
    const UniqueHandle directory(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (directory.get() == INVALID_HANDLE_VALUE) return std::nullopt;
    return FinalPathOf(directory.get());
}

bool Win32UninstallServices::RemoveEmptyDirectory(const std::string& path) { return RemoveDirectoryA(path.c_str()); }

std::optional<std::string> Win32UninstallServices::ReadProfileKey(const std::string& section, const std::string& key,
                                                                  const std::string& file) {
    // The section's lines as they stand ("key=value"): GetPrivateProfileString would take the
    // quotes off a quoted value, and a value is compared and given back as it was written. A
    // key without "=" has an empty value; a missing key has none.
    for (std::vector<char> text(4096); text.size() <= kMaxProfileText; text.resize(text.size() * 2)) {
        const DWORD length =
            GetPrivateProfileSectionA(section.c_str(), text.data(), static_cast<DWORD>(text.size()), file.c_str());
        if (length + 2 >= text.size()) continue;
        for (const char* line = text.data(); *line; line += lstrlenA(line) + 1) {
            const char* equals = std::strchr(line, '=');
            const std::string name = equals ? std::string(line, equals) : std::string(line);
            if (lstrcmpiA(name.c_str(), key.c_str()) == 0) return equals ? std::string(equals + 1) : std::string();
        }
        return std::nullopt;
    }
    return std::nullopt;
}

bool Win32UninstallServices::WriteProfileKey(const std::string& section, const std::optional<std::string>& key,
                                             const std::optional<std::string>& value, const std::string& file) {
    return WritePrivateProfileStringA(section.c_str(), key ? key->c_str() : nullptr, value ? value->c_str() : nullptr,
                                      file.c_str());
}

bool Win32UninstallServices::ProfileSectionIsEmpty(const std::string& section, const std::string& file) {
    char keys[4] = {};
    return GetPrivateProfileSectionA(section.c_str(), keys, sizeof keys, file.c_str()) == 0;
}

bool Win32UninstallServices::CopyRunningProgram(const std::string& destination) {
    // A program started from a read-only medium is copied read-only: neither a later install nor
    // the uninstaller could replace or delete that copy.
    SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_NORMAL);
    return CopyFileA(RunningProgramPath().c_str(), destination.c_str(), FALSE) &&
           SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_NORMAL);
}

bool Win32UninstallServices::RemoveProgram(const std::string& program, const std::optional<std::string>& directory) {
    if (PathKey(RunningProgramPath()) == PathKey(program)) return StartSecondHalf(program, directory.has_value());
    // The program itself, not a link standing in its place; its directory may be reached
    // through one.
    const std::optional<std::string> folder = FinalDirectoryPath(ParentDirectory(program));
    const std::string expected = folder ? PathInDirectory(*folder, kUninstallProgramName) : program;
    const std::optional<Examined> removed =
        ExamineFile(program, [&](const FileFacts& facts) { return PathKey(facts.finalPath) == PathKey(expected); });
    if (removed ? !removed->removed : Exists(program)) return false;
    // A directory that still holds something stays, as it should.
    return !directory || RemoveDirectoryA(directory->c_str()) || GetLastError() == ERROR_DIR_NOT_EMPTY;
}

HKEY Win32UninstallServices::EntryRoot() {
    if (!entryRoot_) {
        HKEY keys = nullptr;
        const bool machine = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKeys, 0, nullptr, 0,
                                             KEY_CREATE_SUB_KEY | kEntryView, nullptr, &keys, nullptr) == ERROR_SUCCESS;
        if (machine) RegCloseKey(keys);
        entryRoot_ = machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    }
    return entryRoot_;
}

std::string Win32UninstallServices::EntryName(const std::string& key) {
    return std::string(EntryRoot() == HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\") +
           EntryPath(key);
}

std::optional<UninstallEntry> Win32UninstallServices::ReadEntry(const std::string& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(EntryRoot(), EntryPath(key).c_str(), 0, KEY_READ | kEntryView,
                      &opened) != ERROR_SUCCESS)
        return std::nullopt;
    const UniqueRegistryKey entry(opened);
    UninstallEntry values;
    values.displayName = QueryString(entry.get(), "DisplayName").value_or("");
    values.installLocation = QueryString(entry.get(), "InstallLocation").value_or("");
    values.recordSha256 = QueryString(entry.get(), "RecordSha256").value_or("");
    values.nextRecordSha256 = QueryString(entry.get(), kNextRecordSha256).value_or("");
    return values;
}

HKEY Win32UninstallServices::CreateEntryKey(const std::string& key) {
    HKEY created = nullptr;
    if (RegCreateKeyExA(EntryRoot(), EntryPath(key).c_str(), 0, nullptr, 0,
                        KEY_WRITE | kEntryView, nullptr, &created, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return created;
}

bool Win32UninstallServices::WriteNextRecordChecksum(const std::string& key, const std::string& sha256) {
    const UniqueRegistryKey entry(CreateEntryKey(key));
    return entry && SetString(entry.get(), kNextRecordSha256, sha256);
}

bool Win32UninstallServices::WriteEntry(const std::string& key, const UninstallEntry& values) {
    const UniqueRegistryKey entry(CreateEntryKey(key));
    if (!entry) return false;
    const LSTATUS next = RegDeleteValueA(entry.get(), kNextRecordSha256);
    return (next == ERROR_SUCCESS || next == ERROR_FILE_NOT_FOUND) &&
           SetString(entry.get(), "DisplayName", values.displayName) &&
           SetString(entry.get(), "UninstallString", values.uninstallString) &&
           SetString(entry.get(), "QuietUninstallString", values.quietUninstallString) &&
           SetString(entry.get(), "InstallLocation", values.installLocation) &&
           SetString(entry.get(), "DisplayIcon", values.displayIcon) &&
           SetNumber(entry.get(), "EstimatedSize", values.estimatedSizeKb) && SetNumber(entry.get(), "NoModify", 1) &&
           SetNumber(entry.get(), "NoRepair", 1) && SetString(entry.get(), "RecordSha256", values.recordSha256);
}

bool Win32UninstallServices::DeleteEntry(const std::string& key) {
    return RegDeleteKeyExA(EntryRoot(), EntryPath(key).c_str(), kEntryView, 0) ==
           ERROR_SUCCESS;
}

int FinishUninstall(const std::string& text) {
    std::uintptr_t handle = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), handle);
    const std::string_view rest(end, text.data() + text.size() - end);
    if (error != std::errc() || !(rest.starts_with(",0,") || rest.starts_with(",1,"))) return 1;
    const UniqueHandle process(reinterpret_cast<HANDLE>(handle));
    const bool withDirectory = rest[1] == '1';
    const std::string program(rest.substr(3));
    // Only an uninstaller whose removal is done: nothing else can be deleted this way.
    Win32UninstallServices services;
    if (!NamesUninstallProgram(program) ||
        services.Exists(PathInDirectory(ParentDirectory(program), kUninstallRecordName)))
        return 1;
    WaitForSingleObject(process.get(), kWaitForUninstallerMs);
    // The ended program's file may stay mapped a moment longer.
    for (int attempt = 0; attempt < kDeleteAttempts && services.Exists(program); ++attempt) {
        services.RemoveProgram(program, std::nullopt);
        if (services.Exists(program)) Sleep(kDeleteRetryMs);
    }
    if (withDirectory) RemoveDirectoryA(ParentDirectory(program).c_str());
    return services.Exists(program) ? 1 : 0;
}

}  // namespace setup
