#pragma once
// Helpers for native tests: a fresh temporary directory per test, whole-file reads and writes.
#include <filesystem>
#include <string>

namespace setup::test {

// A new empty directory under the build tree's test-tmp (or the system temp directory),
// removed when the object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace setup::test
