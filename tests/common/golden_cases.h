#pragma once
// Test cases kept as text files under tests/cases: bytes in and bytes out, independent of the
// code under test. A file holds cases; a case starts with "=== name" and holds sections, each
// "--- name arguments" followed by its lines. Every line of a section ends in a line feed
// except one ending in {no-eol}; one empty line before a case only separates. Escapes, in
// lines and arguments: {CR} {TAB} {NUL} {SUB} (Ctrl-Z), {xHH} (a byte), {c*N} or {NAME*N}
// (a character or an escape N times). Lines before the first case are comments.
#include <string>
#include <string_view>
#include <vector>

namespace setup::test {

struct GoldenSection {
    std::string name;
    std::string arguments;  // the rest of the header line
    std::string text;
};

struct GoldenCase {
    std::string name;
    std::vector<GoldenSection> sections;

    bool Has(std::string_view section) const;
    // The first section of that name; a failure of the test when it is missing.
    const GoldenSection& Section(std::string_view section) const;
    const std::string& Text(std::string_view section) const { return Section(section).text; }
};

// The cases of tests/cases/<file>.
std::vector<GoldenCase> ReadGoldenCases(const std::string& file);

// The text with every LF written as CR LF, as the program's text files store it.
std::string Crlf(std::string_view text);

// The lines of a text, without their line feeds.
std::vector<std::string> Lines(std::string_view text);

}  // namespace setup::test
