// BuildWordLists over any language.cf, with the real dict.ini steps: no crash; every entry
// handed on is made of significant lines of at most 99 characters with four fields; dict.ini is
// created once, before the first build, and holds each entry's line after its append;
// language.cf is deleted unless a description line was refused.
#include <cstdint>

#include "base/fatal.h"
#include "base/fields.h"
#include "base/significant_lines.h"
#include "fuzz_support.h"
#include "wordlist/language_list.h"

namespace {

using namespace setup;

void CheckSignificant(const std::string& line) {
    FUZZ_CHECK(!line.empty() && line.size() <= kSignificantLinePieceLength);
    FUZZ_CHECK(line[0] != '#');
    FUZZ_CHECK(line.find('\n') == std::string::npos && line.find('\0') == std::string::npos);
}

class CheckingSteps : public LanguageJobSteps {
public:
    DictIniPaths paths = fuzz::ScratchDictIni();
    int created = 0;
    int built = 0;

    void SetCollationLocale() override {}
    void CreateDictIni(const LanguageEntry& entry) override {
        FUZZ_CHECK(built == 0 && created == 0);
        ++created;
        setup::CreateDictIni(
            entry, [] {}, paths);
    }
    void BuildWordList(const LanguageEntry& entry) override {
        FUZZ_CHECK(created == 1);
        CheckSignificant(entry.descriptionLine);
        CheckSignificant(entry.fromListName);
        CheckSignificant(entry.toListName);
        std::vector<std::string_view> fields = SplitFields(entry.descriptionLine);
        FUZZ_CHECK(fields.size() >= 4);
        FUZZ_CHECK(entry.firstFieldText == FirstFieldText(entry.descriptionLine));
        FUZZ_CHECK(entry.secondField == fields[1] && entry.thirdField == fields[2] && entry.displayName == fields[3]);
        ++built;
    }
    void RemoveLanguageLines(const LanguageEntry& entry) override { setup::RemoveLanguageLines(entry, paths); }
    void AppendLanguageLine(const LanguageEntry& entry) override {
        setup::AppendLanguageLine(entry.firstFieldText, entry, paths);
        std::string line =
            entry.firstFieldText + "," + entry.secondField + "," + entry.thirdField + "," + entry.displayName;
        FUZZ_CHECK(fuzz::LogicalText(paths.dictIni).find("\n" + line + "\n") != std::string::npos);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    CheckingSteps steps;
    std::remove(steps.paths.dictIni.c_str());
    std::remove(steps.paths.tmpIni.c_str());
    const std::string languageCf = fuzz::ScratchFile("language.cf");
    fuzz::WriteBytes(languageCf, std::string_view(reinterpret_cast<const char*>(bytes), size));

    LanguageEntry entry;
    bool refused = false;
    try {
        BuildWordLists(entry, steps, languageCf);
    } catch (const FatalError& error) {
        const std::string_view message = error.what();
        FUZZ_CHECK(message.starts_with("Too few fields in LANGUAGE.CF: \"") ||
                   message.starts_with("Invalid word list name in LANGUAGE.CF: \""));
        refused = true;
    }
    FUZZ_CHECK(fuzz::Exists(languageCf) == refused);
    FUZZ_CHECK(fuzz::Exists(steps.paths.dictIni) == (steps.created == 1));
    FUZZ_CHECK(!fuzz::Exists(steps.paths.tmpIni));
    return 0;
}
