// RemoveLanguageLines on any dict.ini: no crash, and every line that does not even contain
// the language's name (ignoring case) is still there, in its order.
#include <cstdint>

#include "base/ascii.h"
#include "fuzz_support.h"

namespace {

bool ContainsIgnoreCase(std::string_view text, std::string_view name) {
    for (size_t i = 0; i + name.size() <= text.size(); ++i)
        if (setup::StartsWithIgnoreCase(text.substr(i), name)) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    using namespace setup;
    std::string_view data(reinterpret_cast<const char*>(bytes), size);
    LanguageEntry entry;
    entry.displayName = fuzz::TakeDisplayName(data);
    DictIniPaths paths = fuzz::ScratchDictIni();
    fuzz::WriteBytes(paths.dictIni, data);

    std::vector<std::string> mustStay;
    size_t inputLength = 0;
    for (const std::string& piece : fuzz::Pieces(paths.dictIni, kRemovePieceLength)) {
        inputLength += piece.size();
        if (!ContainsIgnoreCase(piece, entry.displayName)) mustStay.push_back(piece);
    }

    RemoveLanguageLines(entry, paths);
    FUZZ_CHECK(!fuzz::Exists(paths.tmpIni));
    std::string output = fuzz::LogicalText(paths.dictIni);
    FUZZ_CHECK(output.size() <= inputLength);
    FUZZ_CHECK(fuzz::ContainsInOrder(output, mustStay));
    return 0;
}
