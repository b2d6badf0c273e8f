#include "golden_cases.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <stdexcept>

namespace setup::test {

namespace {

// The text of one escape name, or nothing when the name is not an escape.
std::optional<std::string> Escape(std::string_view name) {
    if (name == "CR") return "\r";
    if (name == "TAB") return "\t";
    if (name == "NUL") return std::string(1, '\0');
    if (name == "SUB") return "\x1a";
    if (name.size() == 3 && name[0] == 'x')
        return std::string(1, static_cast<char>(std::stoi(std::string(name.substr(1)), nullptr, 16)));
    const size_t star = name.rfind('*');
    if (star == std::string_view::npos || star == 0) return std::nullopt;
    const std::optional<std::string> unit = star == 1 ? std::string(1, name[0]) : Escape(name.substr(0, star));
    if (!unit) return std::nullopt;
    std::string text;
    for (unsigned long n = std::stoul(std::string(name.substr(star + 1))); n > 0; --n) text += *unit;
    return text;
}

// Decodes the escapes of one line.
std::string Unescape(std::string_view line) {
    std::string text;
    for (size_t i = 0; i < line.size(); ++i) {
        const size_t close = line[i] == '{' ? line.find('}', i) : std::string_view::npos;
        const std::optional<std::string> escaped =
            close == std::string_view::npos ? std::nullopt : Escape(line.substr(i + 1, close - i - 1));
        if (!escaped) {
            text += line[i];
            continue;
        }
        text += *escaped;
        i = close;
    }
    return text;
}

}  // namespace

bool GoldenCase::Has(std::string_view section) const {
    return std::any_of(sections.begin(), sections.end(), [&](const GoldenSection& s) { return s.name == section; });
}

const GoldenSection& GoldenCase::Section(std::string_view section) const {
    const auto found = std::find_if(sections.begin(), sections.end(), [&](auto& s) { return s.name == section; });
    if (found == sections.end()) throw std::runtime_error("case \"" + name + "\" has no " + std::string(section));
    return *found;
}

std::vector<GoldenCase> ReadGoldenCases(const std::string& file) {
    std::ifstream in(std::string(SETUP_TEST_CASES) + "/" + file);
    if (!in) throw std::runtime_error("cannot read the cases " + file);
    std::vector<GoldenCase> cases;
    std::string line;
    bool lastLineEmpty = false;
    // One empty line before a case, and at the end of the file, only separates.
    auto dropSeparator = [&] {
        if (lastLineEmpty && !cases.empty() && !cases.back().sections.empty())
            cases.back().sections.back().text.pop_back();
    };
    while (std::getline(in, line)) {
        const bool empty = line.empty();
        if (line.rfind("=== ", 0) == 0) {
            dropSeparator();
            cases.push_back({line.substr(4), {}});
        } else if (line.rfind("--- ", 0) == 0 && !cases.empty()) {
            const size_t blank = line.find(' ', 4);
            cases.back().sections.push_back(
                {line.substr(4, blank - 4), blank == std::string::npos ? "" : Unescape(line.substr(blank + 1)), ""});
        } else if (!cases.empty() && !cases.back().sections.empty()) {
            constexpr std::string_view kNoEol = "{no-eol}";
            const bool endsLine = !line.ends_with(kNoEol);
            if (!endsLine) line.resize(line.size() - kNoEol.size());
            cases.back().sections.back().text += Unescape(line) + (endsLine ? "\n" : "");
        }
        lastLineEmpty = empty;
    }
    dropSeparator();
    if (cases.empty()) throw std::runtime_error("no cases in " + file);
    return cases;
}

std::string Crlf(std::string_view text) {
    std::string bytes;
    for (char c : text) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    return bytes;
}

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace setup::test
