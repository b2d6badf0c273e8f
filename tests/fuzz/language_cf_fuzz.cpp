// BuildWordLists over any language.cf: no crash; every entry handed on is made of significant
// lines and has four fields; language.cf is deleted unless a line was refused with one of its two
// messages.
#include "base/fatal.h"
#include "base/fields.h"
#include "base/significant_lines.h"
#include "fuzz_support.h"
#include "wordlist/language_list.h"

using namespace setup;

struct CheckingSteps : LanguageJobSteps {
    void SetCollationLocale() override {}
    void CreateDictIni(const LanguageEntry&) override {}
    void BuildWordList(const LanguageEntry& entry) override {
        // Significant: not empty, at most 99 characters, no "#" first, no line feed or zero byte.
        for (const std::string& line : {entry.descriptionLine, entry.fromListName, entry.toListName})
            FUZZ_CHECK(!line.empty() && line.size() <= kSignificantLinePieceLength && line[0] != '#' &&
                       line.find_first_of(std::string_view("\n", 2)) == std::string::npos);
        // Four fields, the fourth the display name (at() throws, and so fails, on fewer).
        FUZZ_CHECK(SplitFields(entry.descriptionLine).at(3) == entry.displayName);
    }
    void RemoveLanguageLines(const LanguageEntry&) override {}
    void AppendLanguageLine(const LanguageEntry&) override {}
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const std::string languageCf = fuzz::WriteFile("language.cf", {reinterpret_cast<const char*>(bytes), size});
    CheckingSteps steps;
    LanguageEntry entry;
    try {
        BuildWordLists(entry, steps, languageCf);
        FUZZ_CHECK(!std::filesystem::exists(languageCf));
    } catch (const FatalError& error) {
        FUZZ_CHECK(std::filesystem::exists(languageCf) &&
                   (std::string_view(error.what()).starts_with("Too few fields in LANGUAGE.CF: \"") ||
                    std::string_view(error.what()).starts_with("Invalid word list name in LANGUAGE.CF: \"")));
    }
    return 0;
}
