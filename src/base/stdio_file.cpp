#include "base/stdio_file.h"

#include <cstring>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace setup {

UniqueFile OpenFile(const std::string& path, const char* mode) { return UniqueFile(std::fopen(path.c_str(), mode)); }

std::optional<std::uint64_t> FileSize(std::FILE* file) {
#ifdef _WIN32
    const bool atEnd = ::_fseeki64(file, 0, SEEK_END) == 0;
    const long long size = atEnd ? ::_ftelli64(file) : -1;
#else
    // Only a regular file has a size: a directory's end offset is a cookie, not a length.
    struct stat status {};
    if (::fstat(::fileno(file), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    const bool atEnd = ::fseeko(file, 0, SEEK_END) == 0;
    const long long size = atEnd ? static_cast<long long>(::ftello(file)) : -1;
#endif
    std::rewind(file);
    if (size < 0) return std::nullopt;
    return static_cast<std::uint64_t>(size);
}

bool CloseChecked(std::FILE* file) {
    // A failed write, now or earlier, leaves the stream's error indicator set.
    std::fflush(file);
    const bool written = std::ferror(file) == 0;
    return std::fclose(file) == 0 && written;
}

bool SameFileBytes(const std::string& pathA, const std::string& pathB) {
    const UniqueFile a = OpenFile(pathA, "rb"), b = OpenFile(pathB, "rb");
    if (!a || !b) return false;
    char bytesA[4096], bytesB[4096];
    for (;;) {
        const size_t readA = std::fread(bytesA, 1, sizeof bytesA, a.get());
        const size_t readB = std::fread(bytesB, 1, sizeof bytesB, b.get());
        if (readA != readB || std::memcmp(bytesA, bytesB, readA) != 0) return false;
        if (readA < sizeof bytesA) return !std::ferror(a.get()) && !std::ferror(b.get());
    }
}

}  // namespace setup
