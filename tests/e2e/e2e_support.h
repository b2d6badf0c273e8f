#pragma once
// Media and target directories for end-to-end tests, made fresh in the Wine prefix's temp folder.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui_driver.h"

namespace setup::e2e {

// setup.exe under test (the SETUP_EXE environment variable, a Windows path).
std::string SetupExePath();

// A new empty directory under the temp folder; the name says what it is for.
std::string MakeTempDir(const std::string& purpose);

std::string JoinPath(const std::string& directory, const std::string& name);
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
bool PathExists(const std::string& path);
bool IsDirectory(const std::string& path);
// Names in a directory (not "." and ".."), sorted.
std::vector<std::string> ListDirectory(const std::string& directory);

// One 84-byte word-list record: both texts zero-padded, trailing field 0.
std::string WordRecord(std::string_view headWord, std::string_view translations);

// While it lives, the programs this process starts can write no file beyond `bytes`: a write
// past that fails as on a full disk. Wine runs each Windows program as a Linux process that
// inherits the limit; it and an ignored SIGXFSZ (so that the write reports the error instead
// of ending the program) are set by Linux i386 system calls, for the 32-bit Wine the tests
// run under.
class ChildFileSizeLimit {
public:
    explicit ChildFileSizeLimit(std::uint64_t bytes);
    ~ChildFileSizeLimit();
    ChildFileSizeLimit(const ChildFileSizeLimit&) = delete;
    ChildFileSizeLimit& operator=(const ChildFileSizeLimit&) = delete;

private:
    std::uint64_t previous_[2] = {};
    long previousHandler_ = 0;
};

// Makes path a link to the Linux device /dev/full, where every write fails for lack of
// space: a file on a full disk.
bool LinkToFullDevice(const std::string& path);

struct InstallRun {
    HWND mainWindow = nullptr;
    std::vector<MessageBoxInfo> boxes;
    std::optional<DWORD> exitCode;
};

// Starts setup.exe on the medium (with a file-size limit when given), types the target,
// presses Start and answers every box with OK until the program ends.
InstallRun RunInstall(const std::string& medium, const std::string& target,
                      std::optional<std::uint64_t> fileSizeLimit = std::nullopt);

}  // namespace setup::e2e
