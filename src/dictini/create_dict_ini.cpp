#include "base/fatal.h"
#include "base/files.h"
#include "base/text_reader.h"
#include "base/text_writer.h"
#include "dictini/dict_ini.h"

namespace setup {

bool CreateDictIni(const LanguageEntry& entry, const std::function<void()>& skipDetailRow, const DictIniPaths& paths) {
    bool exists = TextReader(paths.dictIni).IsOpen();
    skipDetailRow();
    // An existing dict.ini belongs to an earlier install: never examined, never changed.
    if (exists) return false;

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
    // A skeleton cut short by a full disk would be taken for the application's configuration.
    if (!dictIni.Close()) {
        RemoveFile(paths.dictIni);
        ThrowFatal("Can't create DICT.INI");
    }
    return true;
}

}  // namespace setup
