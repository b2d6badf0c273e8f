#pragma once
// The language list driver: carries out the word-list jobs of language.cf, one
// LanguageEntry after the other, and deletes the file when all are done.
#include <string>
#include <string_view>

#include "base/language_entry.h"
#include "base/text_reader.h"

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

// A word-list name of language.cf names a file inside "language\": it holds no "\", "/" or ":",
// is neither "." nor "..", names no device (CON, NUL, COM1...) and is not a name the build
// uses for itself (the scratch list's, the TO list's before it is whole). Windows ignores
// trailing dots and blanks of a name, so they are ignored here too.
bool IsUsableListName(std::string_view name);

// language.cf read job by job (base/significant_lines.h), as BuildWordLists reads it; the medium
// check of the word-list tool reads it the same way.
class LanguageCfReader {
public:
    explicit LanguageCfReader(const std::string& path) : reader_(path) {}
    bool IsOpen() const { return reader_.IsOpen(); }

    // The next description line, taken apart into entry; false at the end of the file. Throws
    // FatalError "Too few fields in LANGUAGE.CF: ..." for a line of fewer than four fields.
    bool ReadDescription(LanguageEntry& entry);
    // The FROM and TO names into entry, not checked here; false when the file ends first.
    bool ReadListNames(LanguageEntry& entry);

    // The lines of the file (from 1) on which the last description, FROM and TO lines began.
    struct EntryLines {
        size_t description = 0;
        size_t from = 0;
        size_t to = 0;
    };
    const EntryLines& Lines() const { return lines_; }

    void Close() { reader_.Close(); }

private:
    TextReader reader_;
    EntryLines lines_;
};

// Runs the jobs of language.cf, three significant lines each (base/significant_lines.h);
// entry is the current LanguageEntry, overwritten by each job. An entry cut short by the end
// of the file is not built. Throws FatalError "Can't open LANGUAGE.CF" when the file is
// missing, and "Too few fields in LANGUAGE.CF: ..." for a description line of fewer than four
// fields, and "Invalid word list name in LANGUAGE.CF: ..." for a FROM or TO name that is not
// usable, before anything is done for that entry (language.cf then stays, like after every
// fatal error, and the entries before it are complete).
void BuildWordLists(LanguageEntry& entry, LanguageJobSteps& steps, const std::string& languageCfPath = "language.cf");

}  // namespace setup
