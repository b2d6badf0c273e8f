#include <windows.h>

#include "base/files.h"
#include "base/win32_handles.h"

namespace setup {

namespace {

// Writes what the system still holds of the file to the disk. Without it a power cut after the
// replacement could leave the new name on a file whose bytes never reached the disk.
bool CommitToDisk(const std::string& path) {
    const UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.get() != INVALID_HANDLE_VALUE && FlushFileBuffers(file.get()) != 0;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& source, const std::string& target) {
    // A read-only target must stay unchanged. Windows' MoveFileEx refuses to replace one,
    // Wine's does not, so the attribute is looked at first.
    const DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
    if (!CommitToDisk(source)) return false;
    return MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void RemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }

void RemoveLeftover(const std::string& path) {
    // Windows deletes no read-only file.
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileA(path.c_str())) RemoveDirectoryA(path.c_str());
}

}  // namespace setup
