#include "wordlist/language_list.h"

#include <string_view>
#include <vector>

#include "base/fatal.h"
#include "base/fields.h"
#include "base/files.h"
#include "base/significant_lines.h"

namespace setup {

namespace {

// Takes the description line apart into the entry's fields. A fifth field and beyond are
// ignored. The first-field text keeps any commas before the first field.
void SetDescriptionLine(LanguageEntry& entry, const std::string& line) {
    std::vector<std::string_view> fields = SplitFields(line);
    // Without a fourth field the language has no name to build, record or sort by.
    if (fields.size() < 4) ThrowFatal("Too few fields in LANGUAGE.CF: \"" + line + "\"");
    entry.descriptionLine = line;
    entry.firstFieldText = FirstFieldText(line);
    entry.secondField = fields[1];
    entry.thirdField = fields[2];
    entry.displayName = fields[3];
}

}  // namespace

void BuildWordLists(LanguageEntry& entry, LanguageJobSteps& steps, const std::string& languageCfPath) {
    TextReader languageCf(languageCfPath);
    if (!languageCf.IsOpen()) ThrowFatal("Can't open LANGUAGE.CF");

    std::string line;
    for (int entryNumber = 0; ReadSignificantLine(languageCf, line); ++entryNumber) {
        SetDescriptionLine(entry, line);
        steps.SetCollationLocale();
        if (!ReadSignificantLine(languageCf, entry.fromListName)) break;
        if (!ReadSignificantLine(languageCf, entry.toListName)) break;
        if (entryNumber == 0) steps.CreateDictIni(entry);
        steps.BuildWordList(entry);
        steps.RemoveLanguageLines(entry);
        steps.AppendLanguageLine(entry);
    }

    languageCf.Close();
    RemoveFile(languageCfPath);
}

}  // namespace setup
