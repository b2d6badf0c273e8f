#include <windows.h>

#include "base/files.h"

namespace setup {

bool ReplaceFileAtomically(const std::string& source, const std::string& target) {
    // MoveFileEx refuses to replace a read-only target, which keeps it unchanged.
    return MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

}  // namespace setup
