// CountLanguageLines and SortLanguageList on any dict.ini: no crash, the count agrees with the
// lines the sort gives back, the file up to the section header is kept, every language line
// is in the output exactly once, and with a consistent comparison they stand in order.
// The first byte of the input picks the comparison: even, the ASCII-folding one; odd, one
// that answers at random (as a failing platform comparison could), which must not harm memory.
#include <algorithm>
#include <cstdint>

#include "base/ascii.h"
#include "base/fields.h"
#include "fuzz_support.h"

namespace {

std::string KeyOf(std::string_view line) {
    std::vector<std::string_view> fields = setup::SplitFields(line);
    if (fields.empty()) return {};
    return std::string(fields.size() >= 4 ? fields[3] : fields[0]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    using namespace setup;
    if (size == 0) return 0;
    const bool consistent = bytes[0] % 2 == 0;
    std::string_view data(reinterpret_cast<const char*>(bytes) + 1, size - 1);
    DictIniPaths paths = fuzz::ScratchDictIni();
    fuzz::WriteBytes(paths.dictIni, data);

    // What the rules promise, worked out here from the pieces.
    std::vector<std::string> languageLines;
    std::string kept;
    bool inside = false;
    bool headerSeen = false;
    for (const std::string& piece : fuzz::Pieces(paths.dictIni, kSortPieceLength)) {
        if (!headerSeen) {
            kept += piece;
            headerSeen = StartsWithIgnoreCase(piece, "[language]");
            if (headerSeen && piece.back() != '\n') kept += '\n';
        }
        std::string line = piece.back() == '\n' ? piece.substr(0, piece.size() - 1) : piece;
        if (line.empty() || line[0] == '#') {
            inside = false;
            continue;
        }
        if (inside) languageLines.push_back(line);
        if (EqualsIgnoreCase(line, "[language]")) inside = true;
    }

    const std::string before = fuzz::LogicalText(paths.dictIni);
    FUZZ_CHECK(CountLanguageLines(paths) == static_cast<int>(languageLines.size()));
    uint32_t state = size;
    auto compare = [consistent, &state](const std::string& a, const std::string& b) {
        if (consistent) return CompareAsciiFold(a, b);
        state = state * 1103515245u + 12345u;
        return static_cast<int>(state >> 16) % 3 - 1;
    };
    int result = SortLanguageList(compare, paths);
    FUZZ_CHECK(!fuzz::Exists(paths.tmpIni));
    std::string output = fuzz::LogicalText(paths.dictIni);
    if (languageLines.empty()) {
        FUZZ_CHECK(result == -1);
        FUZZ_CHECK(output == before);
        return 0;
    }
    FUZZ_CHECK(result == 0);

    const std::string tail = "\n" + std::string(kDictIniEndComment) + "\n";
    FUZZ_CHECK(output.size() >= kept.size() + tail.size());
    FUZZ_CHECK(output.compare(0, kept.size(), kept) == 0);
    FUZZ_CHECK(output.compare(output.size() - tail.size(), tail.size(), tail) == 0);
    std::vector<std::string> written;
    std::string_view middle(output.data() + kept.size(), output.size() - kept.size() - tail.size());
    while (!middle.empty()) {
        size_t end = middle.find('\n');
        FUZZ_CHECK(end != std::string_view::npos);
        written.emplace_back(middle.substr(0, end));
        middle.remove_prefix(end + 1);
    }
    if (consistent)
        for (size_t i = 1; i < written.size(); ++i)
            FUZZ_CHECK(CompareAsciiFold(KeyOf(written[i - 1]), KeyOf(written[i])) <= 0);
    std::sort(written.begin(), written.end());
    std::sort(languageLines.begin(), languageLines.end());
    FUZZ_CHECK(written == languageLines);
    return 0;
}
