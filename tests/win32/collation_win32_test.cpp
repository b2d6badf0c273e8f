// The English collation on the real locale services: its comparison and sort keys against
// CompareStringA and LCMapStringA, and the sort-key table made from the locale's one-byte keys.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "wordlist/collation_win32.h"
#include "wordlist/sort_key_table.h"

namespace setup {
namespace {

constexpr LCID kEnglish = 0x409;
constexpr DWORD kFlags = NORM_IGNORECASE | SORT_STRINGSORT;  // 0x1001

// LCMapStringA's key without its terminating zero.
bool PlatformKey(std::string_view text, std::string& key) {
    char buffer[512];
    const int size = LCMapStringA(kEnglish, LCMAP_SORTKEY | kFlags, text.data(), int(text.size()), buffer, 512);
    key.append(buffer, size > 0 ? size - 1 : 0);
    return size > 0;
}

std::string RandomText(std::mt19937& random, std::string_view alphabet, size_t length) {
    std::string text(length, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    return text;
}

// The distinct words of Debian's trans-de-en (the benchmark's data) in code page 1252, as the
// word lists hold them, of at most 30 bytes; a character outside code page 1252 separates words.
std::vector<std::string> DictionaryWords() {
    std::ifstream file("Z:\\usr\\share\\trans\\de-en", std::ios::binary);
    const std::string utf8(std::istreambuf_iterator<char>(file), {});
    std::wstring wide(utf8.size(), L' ');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), utf8.size(), wide.data(), wide.size()));
    std::string text(wide.size(), ' ');
    WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, wide.data(), wide.size(), text.data(), text.size(), " ", nullptr);
    std::unordered_set<std::string> words;
    for (size_t start = 0, end = 0; start < text.size(); start = end + 1) {
        end = std::min(text.find_first_of(" \t\r\n;|:,{}[]()<>", start), text.size());
        if (end > start && end - start <= 30) words.insert(text.substr(start, end - start));
    }
    return {words.begin(), words.end()};
}

// Over the words of a real dictionary, random texts of every byte and of the table's simple
// bytes, and pairs of words where case, accents, hyphens and apostrophes decide (sharing a start,
// so that later bytes do): the collation's keys equal LCMapStringA's, its comparison and the
// order of its keys equal CompareStringA's, and so do the table's keys wherever it composes them.
// The empty text is left out: its key is empty and orders before a soft hyphen's, which
// CompareStringA calls equal to it.
TEST(Win32Collation, KeysAndOrderEqualThePlatformsForDictionaryWordsAndRandomTexts) {
    Win32Collation collation;  // checks the table on its first words, then composes from it
    EXPECT_FALSE(collation.SetLocale("klingon"));
    ASSERT_TRUE(collation.SetLocale("English"));
    std::vector<std::string> words = DictionaryWords();
    const size_t dictionaryWords = words.size();
    ASSERT_GT(dictionaryWords, 100000u) << "Debian's trans-de-en is missing";
    const SortKeyTable table = SortKeyTable::FromPlatform(PlatformKey);
    std::string everyByte, simpleBytes;
    for (int b = 1; b < 256; ++b) everyByte += char(b);
    std::copy_if(everyByte.begin(), everyByte.end(), std::back_inserter(simpleBytes),
                 [&table](char b) { return table.IsSimple(b); });
    const std::string alphabet = "aAbBeEnNoOsSuU-'- ' \xE4\xC4\xF6\xD6\xFC\xDC\xDF\xE9\xC9\xE8\xE0\xE7\xF1\xAD\x92\xB4";
    std::mt19937 random(1);
    for (int i = 0; i < 100000; ++i) {
        words.push_back(RandomText(random, everyByte, 1 + random() % 30));
        words.push_back(RandomText(random, simpleBytes, 1 + random() % 30));
        words.push_back(RandomText(random, alphabet, 1 + random() % 12));
        words.push_back(words.back().substr(0, random() % 12) + RandomText(random, alphabet, 1 + random() % 12));
    }
    size_t composedDictionaryWords = 0, composedRandomTexts = 0;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        const std::string& before = words[i > 0 ? i - 1 : 0];
        std::string expected, beforeKey, key, tableKey;
        ASSERT_TRUE(PlatformKey(word, expected) && PlatformKey(before, beforeKey)) << word;
        ASSERT_TRUE(collation.AppendSortKey(word, key) && key == expected && key.find('\0') == key.npos) << word;
        const int order = CompareStringA(kEnglish, kFlags, before.c_str(), -1, word.c_str(), -1) - CSTR_EQUAL;
        ASSERT_EQ(collation.Compare(before, word), order) << before << " | " << word;
        ASSERT_EQ((beforeKey > key) - (beforeKey < key), order) << before << " | " << word;
        if (!table.AppendKey(word, tableKey)) continue;
        ASSERT_EQ(tableKey, expected) << word;
        ++(i < dictionaryWords ? composedDictionaryWords : composedRandomTexts);
    }
    // Most real words are composed (German ones with umlauts are not), and every text of simple bytes.
    EXPECT_GT(composedDictionaryWords, dictionaryWords * 4 / 5);
    EXPECT_GE(composedRandomTexts, 100000u);
}

}  // namespace
}  // namespace setup
