// The sort-key table on the real locale services: keys composed from the platform's one-byte
// keys equal LCMapStringA's byte for byte, for random code page 1252 texts and for the words of
// a real dictionary (Debian's trans-de-en, the benchmark's data), and so do the keys of the
// English collation, which takes them from the table once it has checked it.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "wordlist/collation_win32.h"
#include "wordlist/sort_key_table.h"

namespace setup {
namespace {

constexpr LCID kEnglish = 0x409;
constexpr DWORD kKeyFlags = LCMAP_SORTKEY | NORM_IGNORECASE | SORT_STRINGSORT;
constexpr const char* kDictionary = "Z:\\usr\\share\\trans\\de-en";

// LCMapStringA's key without its terminating zero; the empty text's key is empty.
bool PlatformKey(std::string_view text, std::string& key) {
    if (text.empty()) return true;
    char buffer[512];
    const int size = LCMapStringA(kEnglish, kKeyFlags, text.data(), static_cast<int>(text.size()), buffer, sizeof buffer);
    if (size <= 0) return false;
    key.append(buffer, static_cast<size_t>(size - 1));
    return true;
}

// A UTF-8 text in code page 1252; nothing when a character has no exact byte there.
std::string ToCp1252(const std::string& utf8) {
    const int wideLength = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (wideLength <= 0) return {};
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), wideLength);
    char text[64];
    BOOL lossy = FALSE;
    const int length = WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, text, sizeof text, nullptr, &lossy);
    if (length <= 0 || lossy) return {};
    return std::string(text, static_cast<size_t>(length));
}

// The distinct head words and translations of the dictionary, as the word lists hold them:
// "Wort {n}; Wörtchen | Wörter :: word; wordlet | words" gives every piece between the
// separators, without grammar marks in {}, [], (), <>, of at most 30 bytes in code page 1252.
std::vector<std::string> DictionaryWords() {
    std::ifstream file(kDictionary, std::ios::binary);
    std::unordered_set<std::string> words;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::string piece;
        int depth = 0;
        auto take = [&] {
            const size_t first = piece.find_first_not_of(' ');
            const size_t last = piece.find_last_not_of(' ');
            if (first != std::string::npos && last - first < 120) {
                const std::string text = ToCp1252(piece.substr(first, last - first + 1));
                if (!text.empty() && text.size() <= 30) words.insert(text);
            }
            piece.clear();
        };
        for (char c : line) {
            if (c == '{' || c == '[' || c == '(' || c == '<') ++depth;
            else if ((c == '}' || c == ']' || c == ')' || c == '>') && depth > 0) --depth;
            else if (c == ';' || c == '|' || c == ',' || c == ':' || c == '\r') take();
            else if (depth == 0) piece.push_back(c);
        }
        take();
    }
    return {words.begin(), words.end()};
}

std::string RandomText(std::mt19937& random, const std::vector<char>& alphabet) {
    std::string text(random() % 31, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    return text;
}

TEST(SortKeyTable, KeysEqualLCMapStringAForRandomTextsAndDictionaryWords) {
    const SortKeyTable table = SortKeyTable::FromPlatform(PlatformKey);
    for (unsigned char letter = 'A'; letter <= 'Z'; ++letter) {
        EXPECT_TRUE(table.IsSimple(letter)) << letter;
        EXPECT_TRUE(table.IsSimple(letter + 32)) << letter;
    }

    std::vector<std::string> words = DictionaryWords();
    const size_t dictionaryWords = words.size();
    ASSERT_GT(dictionaryWords, 100000u) << kDictionary << " (Debian's trans-de-en) is missing or short";
    std::vector<char> everyByte, simpleBytes;
    for (int b = 1; b < 256; ++b) {
        everyByte.push_back(static_cast<char>(b));
        if (table.IsSimple(static_cast<unsigned char>(b))) simpleBytes.push_back(static_cast<char>(b));
    }
    std::mt19937 random(10);
    for (int i = 0; i < 200000; ++i) words.push_back(RandomText(random, everyByte));
    for (int i = 0; i < 100000; ++i) words.push_back(RandomText(random, simpleBytes));

    Win32Collation collation;
    ASSERT_TRUE(collation.SetLocale("english"));
    size_t composed = 0, composedDictionaryWords = 0;
    std::string expected, key;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        expected.clear();
        ASSERT_TRUE(PlatformKey(word, expected)) << word;
        key.clear();
        if (table.AppendKey(word, key)) {
            ASSERT_EQ(key, expected) << "composed key of \"" << word << "\"";
            ++composed;
            composedDictionaryWords += i < dictionaryWords;
        }
        key.clear();
        ASSERT_TRUE(collation.AppendSortKey(word, key)) << word;
        ASSERT_EQ(key, expected) << "collation key of \"" << word << "\"";
    }
    // Most real words are composed from the table (German ones with umlauts are not); the
    // random texts of every byte rarely are.
    EXPECT_GT(composedDictionaryWords, dictionaryWords * 4 / 5);
    EXPECT_GT(composed, composedDictionaryWords + 90000);
}

}  // namespace
}  // namespace setup
