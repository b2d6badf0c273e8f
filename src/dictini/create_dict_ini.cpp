#include "base/fatal.h"
#include "base/text_reader.h"
#include "base/text_writer.h"
#include "dictini/dict_ini.h"

namespace setup {

void CreateDictIni(const LanguageEntry& entry, const std::function<void()>& skipDetailRow, const DictIniPaths& paths) {
    bool exists = TextReader(paths.dictIni).IsOpen();
    skipDetailRow();
    // An existing dict.ini belongs to an earlier install: never examined, never changed.
    if (exists) return;

    TextWriter dictIni(paths.dictIni);
    if (!dictIni.IsOpen()) ThrowFatal("Can't create DICT.INI");
    dictIni.Write(kDictIniHeadComment);
    dictIni.Write("\n\n");
    dictIni.Write("[AddNew]\n");
    dictIni.Write("on\n\n");
    dictIni.Write("[selected]\n");
    dictIni.Write(entry.fromListName);
    dictIni.Write("\n\n");
    dictIni.Write(kLanguageHeader);
    dictIni.Write("\n\n\n");
    dictIni.Write(kDictIniEndComment);
    dictIni.Write("\n");
    dictIni.Close();
}

}  // namespace setup
