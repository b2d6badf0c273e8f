#pragma once
// Files for tests on every platform: a fresh temporary directory, whole-file reads and writes,
// a working directory for a scope, and word-list records composed field by field.
#include <filesystem>
#include <string>
#include <string_view>

namespace setup::test {

// A new empty directory under the system's temporary folder, removed with everything in it
// when the object goes away.
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
void WriteFileBytes(const std::string& path, std::string_view bytes);

// Makes a directory the working directory for the lifetime of the object.
class ScopedWorkingDirectory {
public:
    explicit ScopedWorkingDirectory(const std::filesystem::path& path);
    ~ScopedWorkingDirectory();
    ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
    ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

private:
    std::filesystem::path previous_;
};

// One 84-byte word-list record: both texts zero-padded, trailing field 0.
std::string RecordBytes(std::string_view headWord, std::string_view translations);

}  // namespace setup::test
