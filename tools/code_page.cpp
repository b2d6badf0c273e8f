#include "code_page.h"

#include <cstdio>

namespace wltool {

namespace {

// Code page 1252 from 0x80 to 0x9F; 0 marks the five bytes it leaves unassigned, which
// Windows' own conversion maps to the control characters of the same number, as done here.
constexpr char32_t kHighControls[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                        0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::optional<char> ToCp1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF) || (c < 0xA0 && kHighControls[c - 0x80] == 0))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == c) return static_cast<char>(0x80 + i);
    return std::nullopt;
}

char32_t FromCp1252(unsigned char b) {
    if (b >= 0x80 && b < 0xA0 && kHighControls[b - 0x80] != 0) return kHighControls[b - 0x80];
    return b;
}

// The next character of UTF-8 text at i (i moves past it); nothing for a sequence that is not
// UTF-8: a stray or missing continuation byte, an overlong form, a surrogate, beyond U+10FFFF.
std::optional<char32_t> NextUtf8(std::string_view text, size_t& i) {
    const unsigned char lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80) return lead;
    const int length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length == 0 || i + length - 1 > text.size()) return std::nullopt;
    char32_t c = lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        const unsigned char next = static_cast<unsigned char>(text[i++]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        c = (c << 6) | (next & 0x3F);
    }
    constexpr char32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    return c;
}

}  // namespace

std::optional<std::string> Utf8ToCp1252(std::string_view text, int& unmapped) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const std::optional<char32_t> c = NextUtf8(text, i);
        if (!c) return std::nullopt;
        const std::optional<char> mapped = ToCp1252(*c);
        if (!mapped) ++unmapped;
        out.push_back(mapped.value_or('?'));
    }
    return out;
}

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    for (char byte : text) {
        const char32_t c = FromCp1252(static_cast<unsigned char>(byte));
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || (byte >= 0x80 && byte < 0xA0 && kHighControls[byte - 0x80] == 0)) {
            char shown[8];
            std::snprintf(shown, sizeof shown, "<x%02X>", byte);
            quoted += c == '\t' ? "<TAB>" : c == '\r' ? "<CR>" : c == '\n' ? "<LF>" : shown;
        } else {
#ifdef _WIN32
            quoted += c;
#else
            quoted += Cp1252ToUtf8(std::string_view(&c, 1));
#endif
        }
    }
    return quoted + "\"";
}

}  // namespace wltool
