#include "base/ascii.h"

namespace setup {

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && StartsWithIgnoreCase(a, b);
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view key) {
    if (text.size() < key.size()) return false;
    for (size_t i = 0; i < key.size(); ++i)
        if (FoldAscii(static_cast<unsigned char>(text[i])) != FoldAscii(static_cast<unsigned char>(key[i])))
            return false;
    return true;
}

int CompareAsciiFold(std::string_view a, std::string_view b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = FoldAscii(static_cast<unsigned char>(a[i]));
        unsigned char cb = FoldAscii(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace setup
