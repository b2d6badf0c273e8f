#include "dictini/dict_ini_rewrite.h"

#include "base/fatal.h"
#include "base/files.h"

namespace setup {

bool RewriteDictIni(TextReader& dictIni, const DictIniPaths& paths,
                    const std::function<void(TextReader& in, TextWriter& out)>& copy) {
    TextWriter tmpIni(paths.tmpIni);
    if (!tmpIni.IsOpen()) ThrowFatal("Can't open TMP.INI");
    copy(dictIni, tmpIni);
    const bool complete = !dictIni.Failed();
    dictIni.Close();
    // A short tmp.ini must never take dict.ini's place. A full disk ends the run: the
    // language would otherwise go unrecorded while the installation reports success.
    if (!tmpIni.Close()) ThrowFatal("Write error TMP.INI");
    // dict.ini could not be read to its end: it stays as it is.
    if (!complete) return false;
    return ReplaceFileAtomically(paths.tmpIni, paths.dictIni);
}

}  // namespace setup
