#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/ascii.h"
#include "wordlist/sort_key_table.h"

namespace setup {
namespace {

// A stand-in for the platform's keys, in the form of the Windows sort keys: the primary
// weights, then the diacritic weights with the plain ones at the end left out, each level
// closed by 01. Letters weigh two bytes, case ignored; 'é' weighs as 'e' with a diacritic;
// 'ß' as two letters; the soft hyphen nothing; '!' has a 01 in its primary weight; every
// other byte has no key. Optionally "ch" is one letter of its own, as in a contracting
// locale, or every letter weighs three bytes, as on a system whose keys have another form.
class FakePlatformKeys {
public:
    bool contractCh = false;
    bool wideWeights = false;
    std::string failing;  // the one text whose key cannot be made
    int calls = 0;

    PlatformSortKey Source() {
        return [this](std::string_view text, std::string& key) { return ++calls, Key(text, key); };
    }

    bool Key(std::string_view text, std::string& key) const {
        if (text == failing) return false;
        // Keys of the right length, but with a separator as a weight byte or a level not empty.
        if (text == "$" || text == "#")
            return key += text == "$" ? "\x01\x20\x01\x01\x01\x01" : "\x0E\x99\x01\x05\x01\x01", true;
        std::string diacritics;
        for (size_t i = 0; i < text.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            const unsigned char letter = FoldAscii(c);
            if (contractCh && letter == 'c' && i + 1 < text.size() &&
                FoldAscii(static_cast<unsigned char>(text[i + 1])) == 'h') {
                key += "\x0E\x7E";
                diacritics += '\x02';
                ++i;
            } else if (letter >= 'a' && letter <= 'z') {
                key += Letter(letter);
                diacritics += '\x02';
            } else if (c == 0xE9) {
                key += Letter('e');
                diacritics += '\x0E';
            } else if (c == 0xDF) {
                key += Letter('s') + Letter('s');
                diacritics += "\x02\x02";
            } else if (c == '!') {
                key += "\x07\x01";
                diacritics += '\x02';
            } else if (c != 0xAD) {
                return false;
            }
        }
        while (!diacritics.empty() && diacritics.back() == '\x02') diacritics.pop_back();
        key += '\x01' + diacritics + "\x01\x01\x01";
        return true;
    }

private:
    std::string Letter(unsigned char letter) const {
        std::string weight = {'\x0E', static_cast<char>(0x10 + 5 * (letter - 'a'))};  // up to 0x8D
        if (wideWeights) weight += '\x05';
        return weight;
    }
};

std::string PlatformKey(const FakePlatformKeys& platform, std::string_view text) {
    std::string key;
    platform.Key(text, key);
    return key;
}

TEST(SortKeyTable, TakesTheBytesWithTwoPrimaryBytesAndEmptyLevelsAndComposesOnlyTextsOfThem) {
    FakePlatformKeys platform;
    const SortKeyTable table = SortKeyTable::FromPlatform(platform.Source());
    EXPECT_EQ(platform.calls, 255);  // every byte but the zero, once
    // A diacritic weight (é), four primary bytes (ß), no primary weight (soft hyphen), a
    // separator in the weight (!), no key (1, ÿ): not simple.
    for (unsigned char byte : {'a', 'Z'}) EXPECT_TRUE(table.IsSimple(byte));
    for (int byte : {0xE9, 0xDF, 0xAD, int{'!'}, int{'#'}, int{'$'}, int{'1'}, 0xFF})
        EXPECT_FALSE(table.IsSimple(static_cast<unsigned char>(byte))) << byte;
    EXPECT_EQ(table.SimpleCount(), 52);
    std::string key = "kept";
    for (std::string_view text : {"", "caf\xE9", "co\xADop", "wow!", "Haus 2"})
        EXPECT_FALSE(table.AppendKey(text, key));
    EXPECT_EQ(key, "kept");
}

TEST(CheckedSortKeys, TrustsTheTableOnlyAfterTheFirstComposableWordsGaveThePlatformsKeys) {
    using State = CheckedSortKeys::State;
    struct Case {
        const char* what;
        bool contractCh, wideWeights;
        std::string failing;
        size_t sample;
        std::vector<std::string> words;
        int platformCalls;  // after the 255 of the table
        State state;
    };
    // clang-format off
    const Case cases[] = {
        {"a sample that agrees: later composable words no longer ask the platform",
         false, false, "", 2, {"Haus", "baum", "Wald", "Zug", "caf\xE9"}, 3, State::Trusted},
        {"words the table cannot compose do not count towards the sample",
         false, false, "", 2, {"caf\xE9", "Haus", "\xAD", "Zug", "Wald", "ROT"}, 4, State::Trusted},
        {"a contraction in the sample: the platform for the rest of the run",
         true, false, "", 3, {"Haus", "Dach", "Wald", "Zug", "Haus"}, 5, State::Refused},
        {"a platform failure on a composable word in the sample",
         false, false, "baum", 3, {"Haus", "baum", "Wald", "Zug"}, 4, State::Refused},
        {"keys of another form give no simple byte: nothing is composed",
         false, true, "", 1, {"Haus", "Zug", "Wald"}, 3, State::Refused},
    };
    // clang-format on
    for (const Case& c : cases) {
        FakePlatformKeys platform;
        platform.contractCh = c.contractCh;
        platform.wideWeights = c.wideWeights;
        platform.failing = c.failing;
        CheckedSortKeys keys(platform.Source(), c.sample);
        for (const std::string& word : c.words) {
            std::string key = "kept";
            const bool made = keys.AppendKey(word, key);
            EXPECT_EQ(made, word != c.failing) << c.what << ": " << word;
            EXPECT_EQ(key, made ? "kept" + PlatformKey(platform, word) : "kept") << c.what << ": " << word;
        }
        EXPECT_EQ(platform.calls - 255, c.platformCalls) << c.what;
        EXPECT_EQ(keys.CurrentState(), c.state) << c.what;
    }
}

}  // namespace
}  // namespace setup
