#include <windows.h>

#include "base/files.h"

namespace setup {

bool ReplaceFileAtomically(const std::string& source, const std::string& target) {
    // A read-only target must stay unchanged. Windows' MoveFileEx refuses to replace one,
    // Wine's does not, so the attribute is looked at first.
    const DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
    return MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void RemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }

}  // namespace setup
