#include "dictini/dict_ini_rewrite.h"

#include "base/fatal.h"
#include "base/files.h"
#include "base/stdio_file.h"

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
    // A dict.ini that could not be read to its end stays as it is; so does one that the
    // rewrite leaves as it was, even where it could not be replaced (a read-only dict.ini).
    if (!complete || SameFileBytes(paths.tmpIni, paths.dictIni)) {
        RemoveFile(paths.tmpIni);
        return complete;
    }
    // The dictionary application would never see the change: the installation has failed.
    if (!ReplaceFileAtomically(paths.tmpIni, paths.dictIni)) {
        RemoveFile(paths.tmpIni);
        ThrowFatal("Can't replace DICT.INI");
    }
    return true;
}

}  // namespace setup
