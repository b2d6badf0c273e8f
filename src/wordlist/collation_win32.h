#pragma once
// The collation seam on the Windows locale services.
#include <windows.h>

#include "wordlist/collation.h"

namespace setup {

class Win32Collation final : public CollationService {
public:
    // "english" selects LCID 0x409 when that locale is installed; other names have none.
    bool SetLocale(std::string_view language) override;
    // CompareStringA with NORM_IGNORECASE | SORT_STRINGSORT (0x1001) on the selected locale.
    int Compare(std::string_view a, std::string_view b) override;
    // LCMapStringA with LCMAP_SORTKEY and the same flags: its keys order like Compare.
    bool AppendSortKey(std::string_view text, std::string& key) override;

private:
    LCID locale_ = LOCALE_INVARIANT;
};

}  // namespace setup
