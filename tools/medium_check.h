#pragma once
// wltool check: reads a distribution medium as setup.exe would, with the program's own readers
// of install.inf, language.cf and word lists, and finds what would make an install fail or fall
// silently short.
#include <filesystem>
#include <string>
#include <vector>

namespace wltool {

// One line per problem, "file:line: problem" (for a word list the line is the record's number;
// a problem of a whole file has no line), in the order found; empty for a clean medium.
std::vector<std::string> CheckMedium(const std::filesystem::path& medium);

}  // namespace wltool
