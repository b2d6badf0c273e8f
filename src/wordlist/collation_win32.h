#pragma once
// The collation seam on the Windows locale services.
#include <windows.h>

#include <optional>

#include "wordlist/collation.h"
#include "wordlist/sort_key_table.h"

namespace setup {

class Win32Collation final : public CollationService {
public:
    Win32Collation() = default;
    // The key table calls back into the object that made it.
    Win32Collation(const Win32Collation&) = delete;
    Win32Collation& operator=(const Win32Collation&) = delete;

    // "english" selects LCID 0x409 when that locale is installed; other names have none.
    bool SetLocale(std::string_view language) override;
    // CompareStringA with NORM_IGNORECASE | SORT_STRINGSORT (0x1001) on the selected locale.
    int Compare(std::string_view a, std::string_view b) override;
    // LCMapStringA's key with LCMAP_SORTKEY and the same flags, which orders like Compare:
    // composed from the locale's one-byte keys once they have proven equal on the run's first
    // words, from LCMapStringA itself for every other text.
    bool AppendSortKey(std::string_view text, std::string& key) override;

private:
    bool AppendPlatformKey(std::string_view text, std::string& key);

    LCID locale_ = LOCALE_INVARIANT;
    std::optional<CheckedSortKeys> keys_;  // of locale_, for the whole run
};

}  // namespace setup
