#pragma once
// Code page 1252, the installer's character set, and UTF-8, the text of the word-list tool's
// users on hosts other than Windows.
#include <optional>
#include <string>
#include <string_view>

namespace wltool {

// UTF-8 to code page 1252; characters it lacks become '?' and are counted in unmapped. Nothing
// when the text is not UTF-8 (a stray or missing continuation byte, an overlong form, a
// surrogate, beyond U+10FFFF).
std::optional<std::string> Utf8ToCp1252(std::string_view text, int& unmapped);

// Code page 1252 to UTF-8. The five bytes that it leaves unassigned become the control
// characters of the same number, as Windows' own conversion makes them (and takes them back).
std::string Cp1252ToUtf8(std::string_view text);

// The text in double quotes, as a message of the tool shows it: control characters as <TAB>,
// <CR>, <LF> or <xHH>; the characters of code page 1252 as they are on Windows, and in UTF-8
// elsewhere, so that a text shows what the installer will make of it.
std::string Quoted(std::string_view text);

}  // namespace wltool
