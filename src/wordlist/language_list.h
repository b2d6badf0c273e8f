#pragma once
// The language list driver: carries out the word-list jobs of language.cf, one
// LanguageEntry after the other, and deletes the file when all are done.
#include <string>

#include "base/language_entry.h"

namespace setup {

// The steps run for every entry, in this order: SetCollationLocale, CreateDictIni (first entry
// only), BuildWordList, RemoveLanguageLines, AppendLanguageLine. All but the first receive the
// current entry.
class LanguageJobSteps {
public:
    virtual ~LanguageJobSteps() = default;
    virtual void SetCollationLocale() = 0;
    virtual void CreateDictIni(const LanguageEntry& entry) = 0;
    virtual void BuildWordList(const LanguageEntry& entry) = 0;
    virtual void RemoveLanguageLines(const LanguageEntry& entry) = 0;
    virtual void AppendLanguageLine(const LanguageEntry& entry) = 0;
};

// Runs the jobs of language.cf, three significant lines each (base/significant_lines.h);
// entry is the current LanguageEntry, overwritten by each job. An entry cut short by the end
// of the file is not built. Throws FatalError "Can't open LANGUAGE.CF" when the file is
// missing, and "Too few fields in LANGUAGE.CF: ..." for a description line of fewer than four
// fields (language.cf then stays, like after every fatal error, and the entries before it are
// complete).
void BuildWordLists(LanguageEntry& entry, LanguageJobSteps& steps, const std::string& languageCfPath = "language.cf");

}  // namespace setup
