#pragma once
// The one way dict.ini is rewritten, shared by the three rewrites.
#include <functional>
#include <string_view>

#include "base/ascii.h"
#include "base/text_reader.h"
#include "base/text_writer.h"
#include "dictini/dict_ini.h"

namespace setup {

// Creates tmp.ini (FatalError "Can't open TMP.INI" when it cannot be), lets copy write it from
// the open dict.ini, closes both and puts tmp.ini in dict.ini's place in one step. A rewrite that
// changes no byte leaves dict.ini untouched. Returns false when dict.ini could not be read to
// where copy stopped: dict.ini then stays as it was, and so it does when tmp.ini cannot be
// written whole (FatalError "Write error TMP.INI", tmp.ini stays) or the replacement is refused
// (FatalError "Can't replace DICT.INI": read-only, a directory, held open). Only after a write
// error is tmp.ini left behind.
bool RewriteDictIni(TextReader& dictIni, const DictIniPaths& paths,
                    const std::function<void(TextReader& in, TextWriter& out)>& copy);

// A line that opens the [language] section for the rewrites: its first 10 characters
// equal "[language]", ignoring case, whatever follows.
inline bool StartsLanguageSection(std::string_view line) { return StartsWithIgnoreCase(line, kLanguageHeader); }

}  // namespace setup
