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
// the open dict.ini, closes both and replaces dict.ini by tmp.ini in one step. dict.ini stays as
// it was, and tmp.ini stays behind, when dict.ini could not be read to where copy stopped, when
// the replacement is refused (a read-only dict.ini), and when tmp.ini could not be written
// whole (FatalError "Write error TMP.INI"). Returns true when dict.ini was replaced.
bool RewriteDictIni(TextReader& dictIni, const DictIniPaths& paths,
                    const std::function<void(TextReader& in, TextWriter& out)>& copy);

// A line that opens the [language] section for the rewrites: its first 10 characters
// equal "[language]", ignoring case, whatever follows.
inline bool StartsLanguageSection(std::string_view line) { return StartsWithIgnoreCase(line, kLanguageHeader); }

}  // namespace setup
