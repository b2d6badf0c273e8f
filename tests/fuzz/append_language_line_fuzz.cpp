// AppendLanguageLine on any dict.ini: no crash, every line except the blank lines that may
// close a section is still there in its order, and a file with a section gets the new line.
#include <cstdint>

#include "base/ascii.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    using namespace setup;
    std::string_view data(reinterpret_cast<const char*>(bytes), size);
    LanguageEntry entry;
    entry.secondField = "new.wb";
    entry.thirdField = "7";
    entry.displayName = fuzz::TakeDisplayName(data);
    DictIniPaths paths = fuzz::ScratchDictIni();
    fuzz::WriteBytes(paths.dictIni, data);

    std::vector<std::string> mustStay;
    bool hasSection = false;
    for (const std::string& piece : fuzz::Pieces(paths.dictIni, kAppendPieceLength)) {
        if (piece != "\n") mustStay.push_back(piece);
        hasSection = hasSection || StartsWithIgnoreCase(piece, "[language]");
    }

    AppendLanguageLine(",,nl", entry, paths);
    FUZZ_CHECK(!fuzz::Exists(paths.tmpIni));
    std::string output = fuzz::LogicalText(paths.dictIni);
    FUZZ_CHECK(fuzz::ContainsInOrder(output, mustStay));
    const std::string newLine = "\n,,nl,new.wb,7," + entry.displayName + "\n\n";
    if (hasSection) FUZZ_CHECK(output.find(newLine) != std::string::npos);
    return 0;
}
