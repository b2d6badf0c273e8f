#include "e2e_support.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace setup::e2e {

std::string SetupExePath() {
    const char* path = std::getenv("SETUP_EXE");
    if (!path) return {};
    std::string result(path);
    std::replace(result.begin(), result.end(), '/', '\\');
    return result;
}

std::string MakeTempDir(const std::string& purpose) {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        std::string path = std::string(base) + "setup-e2e-" + purpose + "-" + std::to_string(GetCurrentProcessId()) +
                           "-" + std::to_string(++counter);
        if (CreateDirectoryA(path.c_str(), nullptr)) return path;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
    }
}

std::string JoinPath(const std::string& directory, const std::string& name) {
    if (!directory.empty() && directory.back() == '\\') return directory + name;
    return directory + "\\" + name;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return;
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
}

std::string ReadFileBytes(const std::string& path) {
    std::string bytes;
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return bytes;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) bytes.append(buffer, n);
    std::fclose(in);
    return bytes;
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsDirectory(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> ListDirectory(const std::string& directory) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(JoinPath(directory, "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = entry.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::string WordRecord(std::string_view headWord, std::string_view translations) {
    std::string record(84, '\0');
    record.replace(0, headWord.size(), headWord);
    record.replace(31, translations.size(), translations);
    return record;
}

namespace {

constexpr long kPrlimit64 = 340;  // Linux i386 system call numbers
constexpr long kSignal = 48;
constexpr long kSymlink = 83;
constexpr long kRlimitFsize = 1;
constexpr long kSigxfsz = 25;
constexpr long kSigIgn = 1;

long LinuxSystemCall(long number, long a, long b = 0, long c = 0, long d = 0) {
    long result;
    __asm__ volatile("int $0x80" : "=a"(result) : "a"(number), "b"(a), "c"(b), "d"(c), "S"(d) : "memory");
    return result;
}

}  // namespace

ChildFileSizeLimit::ChildFileSizeLimit(std::uint64_t bytes) {
    const std::uint64_t limit[2] = {bytes, ~std::uint64_t{0}};  // soft limit only: it can be raised again
    LinuxSystemCall(kPrlimit64, 0, kRlimitFsize, reinterpret_cast<long>(limit), reinterpret_cast<long>(previous_));
    previousHandler_ = LinuxSystemCall(kSignal, kSigxfsz, kSigIgn);
}

ChildFileSizeLimit::~ChildFileSizeLimit() {
    LinuxSystemCall(kPrlimit64, 0, kRlimitFsize, reinterpret_cast<long>(previous_), 0);
    LinuxSystemCall(kSignal, kSigxfsz, previousHandler_);
}

bool LinkToFullDevice(const std::string& path) {
    using UnixFileName = char*(CDECL*)(const WCHAR*);
    const auto unixFileName = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    if (!unixFileName) return false;
    const std::wstring widePath(path.begin(), path.end());
    char* unixPath = unixFileName(widePath.c_str());
    if (!unixPath) return false;
    const long result =
        LinuxSystemCall(kSymlink, reinterpret_cast<long>("/dev/full"), reinterpret_cast<long>(unixPath));
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result == 0;
}

InstallRun RunInstall(const std::string& medium, const std::string& target,
                      std::optional<std::uint64_t> fileSizeLimit) {
    InstallRun run;
    SetupProcess setup;
    {
        std::optional<ChildFileSizeLimit> limit;
        if (fileSizeLimit) limit.emplace(*fileSizeLimit);
        if (!setup.Start(SetupExePath(), medium)) return run;
    }
    run.mainWindow = setup.WaitForMainWindow();
    if (!run.mainWindow) return run;
    setup.SetEditText(350, target);
    setup.Click(200);
    while (std::optional<MessageBoxInfo> box = setup.WaitForMessageBox(60000)) {
        run.boxes.push_back(*box);
        setup.PressOk(*box);
    }
    run.exitCode = setup.WaitForExit(60000);
    return run;
}

}  // namespace setup::e2e
