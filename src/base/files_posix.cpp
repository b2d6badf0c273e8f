#include <sys/stat.h>
#include <cstdio>

#include "base/files.h"

namespace setup {

// The native stand-in renames only: it runs the tests (and the fuzz targets, thousands of
// rewrites a second), not installations, so it does not wait for the disk.
bool ReplaceFileAtomically(const std::string& source, const std::string& target) {
    // A target without write permission stands for the Windows read-only attribute.
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0) return false;
    return std::rename(source.c_str(), target.c_str()) == 0;
}

void RemoveFile(const std::string& path) { std::remove(path.c_str()); }

// remove() takes an empty directory too; a file's permissions do not keep it.
void RemoveLeftover(const std::string& path) { std::remove(path.c_str()); }

}  // namespace setup
