#pragma once
// Media and target directories for end-to-end tests, made fresh in the Wine prefix's temp folder.
#include <string>
#include <vector>

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

}  // namespace setup::e2e
