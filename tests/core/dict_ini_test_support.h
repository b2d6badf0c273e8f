#pragma once
// Shared by the dict.ini and language list tests: a temporary target directory holding
// dict.ini and tmp.ini, and golden texts written with "\n" for readability.
#include <string>
#include <string_view>

#include "dictini/dict_ini.h"
#include "golden_cases.h"
#include "test_support.h"

namespace setup::test {

// The skeleton that CreateDictIni writes, with its [language] section replaced by `section`
// (the lines after the header, up to the end comment), in "\n" form.
inline std::string DictIniText(std::string_view selected, std::string_view section = "\n\n") {
    return "# --- dict.ini --------------------------------------------------\n\n[AddNew]\non\n\n[selected]\n" +
           std::string(selected) + "\n\n[language]\n" + std::string(section) +
           "# --- EOF --------------------------------------------------------\n";
}

class DictIniDir {
    TempDir dir_;  // first: the paths are made from it

public:
    DictIniPaths paths{dir_.File("dict.ini"), dir_.File("tmp.ini")};

    void WriteDictIni(const std::string& bytes) const { WriteFileBytes(paths.dictIni, bytes); }
    std::string DictIni() const { return ReadFileBytes(paths.dictIni); }
    std::string TmpIni() const { return ReadFileBytes(paths.tmpIni); }
    bool TmpIniExists() const { return std::filesystem::exists(paths.tmpIni); }
    std::string File(const std::string& name) const { return dir_.File(name); }
};

}  // namespace setup::test
