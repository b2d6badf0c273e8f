// AppendLanguageLine on any dict.ini: no crash, tmp.ini does not stay, every line but the blank
// lines that may close a section stays in its order, and a file with a section gets the new line.
#include "base/ascii.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    using namespace setup;
    std::string_view data(reinterpret_cast<const char*>(bytes), size);
    LanguageEntry entry{.secondField = "new.wb", .thirdField = "7", .displayName = fuzz::TakeDisplayName(data)};
    const DictIniPaths paths{fuzz::WriteFile("dict.ini", data), fuzz::ScratchPath("tmp.ini")};
    std::vector<std::string> mustStay = fuzz::Pieces(paths.dictIni, kAppendPieceLength);
    const bool section = std::ranges::any_of(mustStay, [](auto& p) { return StartsWithIgnoreCase(p, "[language]"); });
    std::erase(mustStay, "\n");
    AppendLanguageLine(",,nl", entry, paths);
    FUZZ_CHECK(!std::filesystem::exists(paths.tmpIni) && fuzz::ContainsInOrder(paths.dictIni, mustStay) &&
               (!section || fuzz::ContainsInOrder(paths.dictIni, {"\n,,nl,new.wb,7," + entry.displayName + "\n\n"})));
    return 0;
}
