#pragma once
// Files through C stdio in binary mode: an owning handle, the size of an open file, and a
// close that tells whether every byte written reached the file.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace setup {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

UniqueFile OpenFile(const std::string& path, const char* mode);

// The size of an open file in bytes, leaving it positioned at its start; nothing when the
// size cannot be determined.
std::optional<std::uint64_t> FileSize(std::FILE* file);

// Closes a file that was written; false when any byte did not reach it (a full disk). The
// Windows C runtime's fclose reports success even when it cannot write its buffered bytes,
// so the buffer is flushed and the stream's error state looked at before the close.
bool CloseChecked(std::FILE* file);

// Whether both files can be read to their ends and hold the same bytes.
bool SameFileBytes(const std::string& pathA, const std::string& pathB);

}  // namespace setup
