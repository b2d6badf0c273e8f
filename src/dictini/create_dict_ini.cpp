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

    // Written under the scratch name and put in place whole: a skeleton cut short, by a full disk
    // or by the end of the process, would be kept by every later install as the configuration.
    TextWriter dictIni(paths.tmpIni);
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
    if (!dictIni.Close() || !ReplaceFileAtomically(paths.tmpIni, paths.dictIni)) {
        RemoveFile(paths.tmpIni);
        ThrowFatal("Can't create DICT.INI");
    }
    return true;
}

}  // namespace setup
