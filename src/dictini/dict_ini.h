#pragma once
// dict.ini, the dictionary application's configuration file: its creation and the
// three rewrites of its [language] section. Every rewrite writes tmp.ini completely and
// then puts it in place of dict.ini in one step, so dict.ini is never lost half-way.
#include <functional>
#include <string>
#include <string_view>

#include "base/language_entry.h"

namespace setup {

// Where the operations find dict.ini and its scratch file. The install sequence uses the
// defaults, relative to the working directory (the target directory by then).
struct DictIniPaths {
    std::string dictIni = "dict.ini";
    std::string tmpIni = "tmp.ini";
};

// Piece limits of the readers: a longer line is seen as several lines.
constexpr size_t kRemovePieceLength = 299;
constexpr size_t kAppendPieceLength = 209;
constexpr size_t kSortPieceLength = 299;

// The header of the section that holds one line per built language.
constexpr std::string_view kLanguageHeader = "[language]";
constexpr std::string_view kDictIniHeadComment = "# --- dict.ini --------------------------------------------------";
constexpr std::string_view kDictIniEndComment = "# --- EOF --------------------------------------------------------";

// Creates dict.ini with its twelve-line skeleton, naming entry.fromListName as the selected
// list, unless the file already exists (then it is left untouched). skipDetailRow is called
// in both cases. Returns true when it created the file. The skeleton is written as tmp.ini and
// takes the name dict.ini only when it is whole. Throws FatalError "Can't create DICT.INI" when
// it cannot be created, written whole or put in place (no dict.ini and no tmp.ini then).
bool CreateDictIni(const LanguageEntry& entry, const std::function<void()>& skipDetailRow,
                   const DictIniPaths& paths = {});

// Drops every line of dict.ini that names entry.displayName: a line of four or more fields by
// its fourth field less that field's last character (normally the line feed), a line of one
// to three fields by its first field. Throws FatalError "Can't open DICT.INI" (also when it
// cannot be read to its end) / "Can't open TMP.INI" / "Write error TMP.INI" / "Can't replace
// DICT.INI"; dict.ini is then as it was.
void RemoveLanguageLines(const LanguageEntry& entry, const DictIniPaths& paths = {});

// Adds the entry's language line (firstFieldText, second and third field, display name) at
// the end of every section whose header line starts with "[language]", in place of the blank
// line that closes it. Throws FatalError like RemoveLanguageLines.
void AppendLanguageLine(std::string_view firstFieldText, const LanguageEntry& entry, const DictIniPaths& paths = {});

// The number of language lines of dict.ini, or -1 when it cannot be opened or read to its end.
int CountLanguageLines(const DictIniPaths& paths = {});

// Orders two sort keys: negative, zero or positive (the collated comparison in force).
using KeyComparison = std::function<int(const std::string&, const std::string&)>;

// Rewrites the [language] section in order of the lines' keys (the fourth field, or the first
// when a line has fewer than four). Returns 0 when dict.ini now holds the sorted list, -1 when
// it was left as it was: unreadable, no language line, out of memory. Throws FatalError "Can't
// open TMP.INI" / "Write error TMP.INI" / "Can't replace DICT.INI".
int SortLanguageList(const KeyComparison& compareKeys, const DictIniPaths& paths = {});

}  // namespace setup
