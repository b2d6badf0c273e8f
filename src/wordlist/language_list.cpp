#include "wordlist/language_list.h"

#include <string_view>
#include <vector>

#include "base/ascii.h"
#include "base/fatal.h"
#include "base/fields.h"
#include "base/files.h"
#include "base/significant_lines.h"
#include "wordlist/build_word_list.h"

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

void CheckListName(const std::string& name) {
    if (!IsUsableListName(name)) ThrowFatal("Invalid word list name in LANGUAGE.CF: \"" + name + "\"");
}

bool IsDeviceName(std::string_view name) {
    const std::string_view base = name.substr(0, name.find('.'));
    for (std::string_view device : {"con", "prn", "aux", "nul", "conin$", "conout$"})
        if (EqualsIgnoreCase(base, device)) return true;
    // COM1 to COM9 and LPT1 to LPT9.
    return base.size() == 4 && (StartsWithIgnoreCase(base, "com") || StartsWithIgnoreCase(base, "lpt")) &&
           base[3] >= '1' && base[3] <= '9';
}

}  // namespace

bool IsUsableListName(std::string_view name) {
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.remove_suffix(1);
    if (name.empty() || name.find_first_of("\\/:") != std::string_view::npos) return false;
    return !IsDeviceName(name) && !EqualsIgnoreCase(name, kScratchListName) && !EqualsIgnoreCase(name, kNewToListName);
}

bool LanguageCfReader::ReadDescription(LanguageEntry& entry) {
    std::string line;
    if (!ReadSignificantLine(reader_, line)) return false;
    lines_.description = reader_.PieceLineNumber();
    SetDescriptionLine(entry, line);
    return true;
}

bool LanguageCfReader::ReadListNames(LanguageEntry& entry) {
    if (!ReadSignificantLine(reader_, entry.fromListName)) return false;
    lines_.from = reader_.PieceLineNumber();
    if (!ReadSignificantLine(reader_, entry.toListName)) return false;
    lines_.to = reader_.PieceLineNumber();
    return true;
}

void BuildWordLists(LanguageEntry& entry, LanguageJobSteps& steps, const std::string& languageCfPath) {
    LanguageCfReader languageCf(languageCfPath);
    if (!languageCf.IsOpen()) ThrowFatal("Can't open LANGUAGE.CF");

    for (int entryNumber = 0; languageCf.ReadDescription(entry); ++entryNumber) {
        steps.SetCollationLocale();
        if (!languageCf.ReadListNames(entry)) break;
        CheckListName(entry.fromListName);
        CheckListName(entry.toListName);
        if (entryNumber == 0) steps.CreateDictIni(entry);
        steps.BuildWordList(entry);
        steps.RemoveLanguageLines(entry);
        steps.AppendLanguageLine(entry);
    }

    languageCf.Close();
    RemoveFile(languageCfPath);
}

}  // namespace setup
