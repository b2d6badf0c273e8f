#pragma once
// Paths below the working directory ("language\temp.wb", "tables\english.stb").
// The program runs on Windows and uses backslashes; native builds of the core (tests,
// tools, benchmark) use the host's separator so that the same code finds real directories.
#include <string>
#include <string_view>

namespace setup {

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

inline std::string RelativePath(std::string_view directory, std::string_view name) {
    std::string path;
    path.reserve(directory.size() + 1 + name.size());
    path.append(directory).push_back(kPathSeparator);
    path.append(name);
    return path;
}

}  // namespace setup
