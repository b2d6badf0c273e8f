#pragma once
// The language list driver: carries out the word-list jobs of language.cf, one
// LanguageEntry after the other, and deletes the file when all are done.
#include <string>

#include "base/text_reader.h"
#include "wordlist/language_entry.h"

namespace setup {

// language.cf is read in pieces of at most this many characters; a longer line is read as
// several lines.
constexpr size_t kLanguageCfPieceLength = 99;

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

// Fills line with the next significant line of language.cf: a piece of at most 99 characters,
// its line feed cut and the text after a zero byte dropped, that is neither empty nor starts
// with "#". Returns false at the end of the file.
bool ReadSignificantLine(TextReader& languageCf, std::string& line);

// Runs the jobs of language.cf; entry is the current LanguageEntry, overwritten by each job.
// An entry cut short by the end of the file is not built. Throws FatalError
// "Can't open LANGUAGE.CF" when the file is missing, and "Too few fields in LANGUAGE.CF: ..."
// for a description line of fewer than four fields (language.cf then stays, like after every
// fatal error, and the entries before it are complete).
void BuildWordLists(LanguageEntry& entry, LanguageJobSteps& steps, const std::string& languageCfPath = "language.cf");

}  // namespace setup
