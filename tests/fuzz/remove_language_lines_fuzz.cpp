// RemoveLanguageLines on any dict.ini: no crash, tmp.ini does not stay, no line is added, and
// every line that does not even contain the language's name (ignoring case) stays, in its order.
#include "base/ascii.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    using namespace setup;
    std::string_view data(reinterpret_cast<const char*>(bytes), size);
    LanguageEntry entry{.displayName = fuzz::TakeDisplayName(data)};
    const DictIniPaths paths{fuzz::WriteFile("dict.ini", data), fuzz::ScratchPath("tmp.ini")};
    const size_t lines = fuzz::Pieces(paths.dictIni).size();
    std::vector<std::string> mustStay = fuzz::Pieces(paths.dictIni, kRemovePieceLength);
    std::erase_if(mustStay, [&entry](const std::string& piece) {
        return std::search(piece.begin(), piece.end(), entry.displayName.begin(), entry.displayName.end(),
                           [](char a, char b) { return FoldAscii(a) == FoldAscii(b); }) != piece.end();
    });
    RemoveLanguageLines(entry, paths);
    FUZZ_CHECK(!std::filesystem::exists(paths.tmpIni) && fuzz::Pieces(paths.dictIni).size() <= lines &&
               fuzz::ContainsInOrder(paths.dictIni, mustStay));
    return 0;
}
