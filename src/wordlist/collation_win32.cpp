#include "wordlist/collation_win32.h"

#include <iterator>
#include <vector>

#include "base/ascii.h"

namespace setup {

namespace {

constexpr DWORD kCollationFlags = NORM_IGNORECASE | SORT_STRINGSORT;  // 0x1001

struct LanguageLocale {
    std::string_view language;
    LCID locale;
};

constexpr LanguageLocale kLanguageLocales[] = {
    {"english", MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT)},  // 0x409
};

int Length(std::string_view text) { return static_cast<int>(text.size()); }

}  // namespace

bool Win32Collation::SetLocale(std::string_view language) {
    for (const LanguageLocale& entry : kLanguageLocales) {
        if (!EqualsIgnoreCase(entry.language, language)) continue;
        if (!IsValidLocale(entry.locale, LCID_INSTALLED)) return false;
        if (entry.locale != locale_) keys_.reset();
        locale_ = entry.locale;
        return true;
    }
    return false;
}

int Win32Collation::Compare(std::string_view a, std::string_view b) {
    const int result = CompareStringA(locale_, kCollationFlags, a.data(), Length(a), b.data(), Length(b));
    return result == 0 ? kCollationFailed : result - CSTR_EQUAL;
}

bool Win32Collation::AppendSortKey(std::string_view text, std::string& key) {
    // LCMapStringA refuses an empty source; the empty head word's key is empty and orders
    // first, as CompareStringA orders "" before every other text.
    if (text.empty()) return true;
    if (!keys_)
        keys_.emplace(
            [this](std::string_view piece, std::string& pieceKey) { return AppendPlatformKey(piece, pieceKey); });
    return keys_->AppendKey(text, key);
}

bool Win32Collation::AppendPlatformKey(std::string_view text, std::string& key) {
    constexpr DWORD flags = LCMAP_SORTKEY | kCollationFlags;
    char buffer[256];
    int size = LCMapStringA(locale_, flags, text.data(), Length(text), buffer, sizeof buffer);
    if (size > 0) {
        key.append(buffer, static_cast<size_t>(size - 1));  // without the terminating zero
        return true;
    }
    size = LCMapStringA(locale_, flags, text.data(), Length(text), nullptr, 0);
    if (size <= 0) return false;
    std::vector<char> large(static_cast<size_t>(size));
    if (LCMapStringA(locale_, flags, text.data(), Length(text), large.data(), size) != size) return false;
    key.append(large.data(), large.size() - 1);
    return true;
}

}  // namespace setup
