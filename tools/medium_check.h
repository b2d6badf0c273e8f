#pragma once
// wltool check: reads a distribution medium as setup.exe would, with the program's own readers
// of install.inf, language.cf and word lists, and finds what would make an install fail or fall
// silently short, and what the word-list builds will leave out.
#include <filesystem>
#include <string>
#include <vector>

namespace wltool {

struct MediumReport {
    // One line each, "file:line: problem" or "file:line: warning: ..." (for a word list the
    // line is the record's number; a file as a whole has no line), by file and line; a file
    // or the medium that cannot be read is "file: can't read ...: reason".
    std::vector<std::string> lines;
    size_t problems = 0;
    size_t warnings = 0;
    bool unreadable = false;
};

MediumReport CheckMedium(const std::filesystem::path& medium);

// 2 when something could not be read, else 1 when problems were found (or, with strict,
// warnings), else 0.
int CheckExitCode(const MediumReport& report, bool strict);

}  // namespace wltool
