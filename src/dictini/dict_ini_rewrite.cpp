#include "dictini/dict_ini_rewrite.h"

#include "base/fatal.h"
#include "base/files.h"

namespace setup {

bool RewriteDictIni(TextReader& dictIni, const DictIniPaths& paths,
                    const std::function<void(TextReader& in, TextWriter& out)>& copy) {
    TextWriter tmpIni(paths.tmpIni);
    if (!tmpIni.IsOpen()) ThrowFatal("Can't open TMP.INI");
    copy(dictIni, tmpIni);
    bool complete = !dictIni.Failed();
    dictIni.Close();
    // A short tmp.ini (disk full, read error) must never take dict.ini's place.
    if (!tmpIni.Close() || !complete) return false;
    return ReplaceFileAtomically(paths.tmpIni, paths.dictIni);
}

}  // namespace setup
