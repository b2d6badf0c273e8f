// CountLanguageLines and SortLanguageList on any dict.ini: no crash, tmp.ini does not stay, the
// count is that of the lines after a "[language]" header up to an empty line or a comment, and
// with such lines the file ends in them, each once, a blank line and the closing comment; without
// them it stays as it was. The first byte of the input picks the comparison: even, the
// ASCII-folding one; odd, one that answers at random (as a failing platform comparison could).
#include "base/ascii.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    using namespace setup;
    if (size == 0) return 0;
    const DictIniPaths paths{fuzz::WriteFile("dict.ini", {reinterpret_cast<const char*>(bytes) + 1, size - 1}),
                             fuzz::ScratchPath("tmp.ini")};
    std::vector<std::string> lines;
    bool inside = false;
    for (std::string piece : fuzz::Pieces(paths.dictIni, kSortPieceLength)) {
        if (piece.back() != '\n') piece += '\n';
        const bool languageLine = inside && piece != "\n" && piece[0] != '#';
        if (languageLine) lines.push_back(piece);
        inside = languageLine || EqualsIgnoreCase(piece, "[language]\n");
    }
    FUZZ_CHECK(CountLanguageLines(paths) == int(lines.size()));
    const std::vector<std::string> input = fuzz::Pieces(paths.dictIni);
    uint32_t state = size;
    const KeyComparison compare = [&](const std::string& a, const std::string& b) {
        return bytes[0] % 2 == 0 ? CompareAsciiFold(a, b) : int((state = state * 1103515245u + 12345u) >> 16) % 3 - 1;
    };
    const int result = SortLanguageList(compare, paths);
    const std::vector<std::string> output = fuzz::Pieces(paths.dictIni);
    FUZZ_CHECK(!std::filesystem::exists(paths.tmpIni) && result == (lines.empty() ? -1 : 0));
    FUZZ_CHECK(lines.empty() ? output == input
                             : output.size() >= lines.size() + 2 && output[output.size() - 2] == "\n" &&
                                   output.back() == std::string(kDictIniEndComment) + "\n" &&
                                   std::is_permutation(lines.begin(), lines.end(), output.end() - 2 - lines.size()));
    return 0;
}
