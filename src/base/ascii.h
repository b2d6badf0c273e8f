#pragma once
// Case folding of the letters A-Z only: the character-type locale is never changed,
// so accented letters never fold.
#include <string_view>

namespace setup {

constexpr unsigned char FoldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

// Whole strings equal, ignoring the case of A-Z.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// The first key.size() characters of text equal key, ignoring the case of A-Z.
bool StartsWithIgnoreCase(std::string_view text, std::string_view key);

// Unsigned byte comparison after folding A-Z: -1, 0 or 1.
int CompareAsciiFold(std::string_view a, std::string_view b);

}  // namespace setup
