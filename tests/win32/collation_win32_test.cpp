// The English collation on the real locale services: the comparison and its sort keys.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "wordlist/collation.h"
#include "wordlist/collation_win32.h"

namespace setup {
namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(Win32Collation, EnglishIsAvailableAndOtherNamesAreNot) {
    Win32Collation collation;
    EXPECT_FALSE(collation.SetLocale("klingon"));
    EXPECT_TRUE(collation.SetLocale("english"));
    EXPECT_TRUE(collation.SetLocale("English"));
}

TEST(Win32Collation, ComparesCaseInsensitivelyWithAccentsByTheEnglishCollation) {
    Win32Collation service;
    ASSERT_TRUE(service.SetLocale("english"));
    CollationState state;
    state.localeInForce = true;
    EXPECT_EQ(CompareCollated(state, service, "House", "hOUSE"), 0);
    EXPECT_EQ(CompareCollated(state, service, "apple", "Banana"), -1);
    EXPECT_EQ(CompareCollated(state, service, "Banana", "apple"), 1);
    EXPECT_EQ(CompareCollated(state, service, "\xC9t\xE9", "\xE9t\xE9"), 0);  // Été, été
    EXPECT_EQ(CompareCollated(state, service, "\xE9", "f"), -1);              // é before f
    EXPECT_EQ(CompareCollated(state, service, "e", "\xE9"), -1);              // e before é
    EXPECT_EQ(CompareCollated(state, service,
                              "\xFC"
                              "ber",
                              "uber"),
              1);  // über after uber
    EXPECT_EQ(CompareCollated(state, service,
                              "\xFC"
                              "ber",
                              "ubest"),
              -1);                                                    // but before ubest
    EXPECT_EQ(CompareCollated(state, service, "co-op", "coop"), -1);  // a hyphen is a symbol
    EXPECT_EQ(CompareCollated(state, service, "can't", "cant"), -1);  // so is an apostrophe

    // Without the locale: the ASCII fold, which leaves accented capitals alone.
    state.localeInForce = false;
    EXPECT_EQ(CompareCollated(state, service, "House", "hOUSE"), 0);
    EXPECT_EQ(CompareCollated(state, service, "\xC9t\xE9", "\xE9t\xE9"), -1);
    EXPECT_EQ(CompareCollated(state, service, "\xE9", "f"), 1);
}

TEST(Win32Collation, SortKeysOrderExactlyLikeTheComparisonOverRandomWords) {
    Win32Collation service;
    ASSERT_TRUE(service.SetLocale("english"));
    const std::string alphabet =
        "aAbBeEnNoOsSuUzZ-'- ' \xE4\xC4\xF6\xD6\xFC\xDC\xDF\xE9\xC9\xE8\xE0\xE7\xF1\xAD\x92\xB4";
    std::mt19937 random(1);
    auto randomWord = [&] {
        std::string word(1 + random() % 12, ' ');
        for (char& c : word) c = alphabet[random() % alphabet.size()];
        return word;
    };
    int equal = 0;
    for (int i = 0; i < 100000; ++i) {
        std::string a = randomWord();
        // Many pairs share a start, so that later characters decide.
        std::string b = random() % 2 ? a.substr(0, random() % (a.size() + 1)) + randomWord() : randomWord();
        std::string keyA, keyB;
        ASSERT_TRUE(service.AppendSortKey(a, keyA));
        ASSERT_TRUE(service.AppendSortKey(b, keyB));
        ASSERT_EQ(std::strlen(keyA.c_str()), keyA.size()) << "a key holds no zero byte";
        const int byKeys = Sign(std::strcmp(keyA.c_str(), keyB.c_str()));
        const int byCompare = service.Compare(a, b);
        ASSERT_EQ(byKeys, byCompare) << "\"" << a << "\" \"" << b << "\"";
        equal += byCompare == 0;
    }
    EXPECT_GT(equal, 0);  // the pairs include words that differ only in case
}

TEST(Win32Collation, HeadWordKeysUnderTheLocaleComeFromThePlatform) {
    Win32Collation service;
    ASSERT_TRUE(service.SetLocale("english"));
    CollationState state;
    state.localeInForce = true;
    std::string keyUpper, keyLower, keyAccent;
    AppendHeadWordKey(state, service, HeadWordOrder::Collated, "\xC9TE", keyUpper);
    AppendHeadWordKey(state, service, HeadWordOrder::Collated, "\xE9t\xE9", keyLower);
    AppendHeadWordKey(state, service, HeadWordOrder::Collated, "f", keyAccent);
    EXPECT_LT(std::strcmp(keyUpper.c_str(), keyLower.c_str()), 0);  // ÉTE before été (E before É)
    EXPECT_LT(std::strcmp(keyLower.c_str(), keyAccent.c_str()), 0);
}

}  // namespace
}  // namespace setup
