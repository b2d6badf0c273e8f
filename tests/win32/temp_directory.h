#pragma once
// A fresh directory under the Wine prefix's temp folder, removed with everything in it
// (read-only, hidden and system entries included) when the object goes away; whole-file
// reads and writes for the tests that use it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

namespace setup::test {

inline void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA data{};
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &data));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

class TempDirectory {
public:
    TempDirectory() {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        static unsigned counter = 0;
        do {
            path_ = std::string(base) + "setup-w32-" + std::to_string(GetCurrentProcessId()) + "-" +
                    std::to_string(++counter);
        } while (!CreateDirectoryA(path_.c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
    }
    ~TempDirectory() { RemoveTree(path_); }
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
}

// The file's bytes, or "<missing>" when it cannot be opened.
inline std::string ReadFileBytes(const std::string& path) {
    std::string bytes;
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return "<missing>";
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) bytes.append(buffer, n);
    std::fclose(in);
    return bytes;
}

}  // namespace setup::test
