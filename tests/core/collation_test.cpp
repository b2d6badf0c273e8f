#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include "progress_recorder.h"
#include "test_support.h"
#include "word_list_files.h"
#include "wordlist/collation.h"
#include "wordlist/relative_path.h"

namespace setup {
namespace {

constexpr const char* kLocaleWarning =
    "Error setting LOCALE\nSort results may not be valid.\n\n"
    "Install multi-language support from your Windows cd-rom for this language.   ";

std::array<unsigned char, 256> IdentityTable() {
    std::array<unsigned char, 256> table{};
    for (int b = 0; b < 256; ++b) table[b] = static_cast<unsigned char>(b);
    return table;
}

TEST(SetCollationLocale, SelectsEnglishOrWarnsWithoutOwnerAndKeepsTheCollationInForce) {
    CollationState state;
    test::FakeCollation service;
    test::RecordingMessages messages;
    SetCollationLocale(state, service, messages);
    EXPECT_TRUE(state.localeInForce);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(service.localeRequests, std::vector<std::string>{"english"});

    CollationState fresh;
    service.available = false;
    SetCollationLocale(fresh, service, messages);
    SetCollationLocale(fresh, service, messages);
    EXPECT_FALSE(fresh.localeInForce);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, kLocaleWarning);
    EXPECT_EQ(messages.shown[0].caption, "Install");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Warning);
    EXPECT_FALSE(messages.shown[0].owned);

    // A failure after an earlier success leaves that locale in force.
    SetCollationLocale(state, service, messages);
    EXPECT_TRUE(state.localeInForce);
    EXPECT_EQ(messages.shown.size(), 3u);
}

TEST(SetCollationLocale, EsperantoHasNoLocaleAndChangesNothingSilently) {
    CollationState state;
    test::FakeCollation service;
    test::RecordingMessages messages;
    SetCollationLocale(state, service, messages, "EsPeranto");
    EXPECT_FALSE(state.localeInForce);
    EXPECT_TRUE(service.localeRequests.empty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST(LoadSortTable, ReadsUpTo256BytesAndKeepsEarlierEntriesAndTables) {
    test::TempDir dir;
    test::ScopedWorkingDirectory cwd(dir.Path());
    CollationState state;
    LoadSortTable(state);  // no tables directory
    EXPECT_FALSE(state.sortTableLoaded);
    EXPECT_EQ(state.sortTable, (std::array<unsigned char, 256>{}));

    std::filesystem::create_directory("tables");
    EXPECT_EQ(SortTablePath(), std::string("tables") + kPathSeparator + "english.stb");
    std::string full(300, '\0');
    for (int b = 0; b < 300; ++b) full[b] = static_cast<char>(255 - b % 256);
    test::WriteFileBytes(SortTablePath(), full);
    LoadSortTable(state);
    EXPECT_TRUE(state.sortTableLoaded);
    for (int b = 0; b < 256; ++b) ASSERT_EQ(state.sortTable[b], 255 - b) << b;

    // A short file fills only its entries; the rest keep the earlier table.
    test::WriteFileBytes(SortTablePath(), std::string(10, '\x07'));
    LoadSortTable(state);
    EXPECT_EQ(state.sortTable[9], 7);
    EXPECT_EQ(state.sortTable[10], 245);
    EXPECT_EQ(state.sortTable[255], 0);

    // A later build without the file keeps the table and the flag.
    std::filesystem::remove(SortTablePath());
    LoadSortTable(state);
    EXPECT_TRUE(state.sortTableLoaded);
    EXPECT_EQ(state.sortTable[10], 245);

    // A short first table leaves the other entries zero.
    CollationState first;
    test::WriteFileBytes(SortTablePath(), "\x01\x02\x03");
    LoadSortTable(first);
    EXPECT_TRUE(first.sortTableLoaded);
    EXPECT_EQ(first.sortTable[2], 3);
    EXPECT_EQ(first.sortTable[3], 0);
}

TEST(CompareMapped, IdentityTableDropsByte1AndComparesUnsignedBytes) {
    CollationState state;
    state.sortTable = IdentityTable();
    EXPECT_EQ(CompareMapped(state,
                            "a\x01"
                            "b",
                            "ab"),
              0);
    EXPECT_EQ(MapString(state.sortTable, "\x01x\x01"), "x");
    EXPECT_EQ(CompareMapped(state, "\xC8", "\x64"), 1);  // 200 after 100
    EXPECT_EQ(CompareMapped(state, "\x64", "\xC8"), -1);
    EXPECT_EQ(CompareMapped(state, "ab", "abc"), -1);
    EXPECT_EQ(CompareMapped(state, "abc", "ab"), 1);
    EXPECT_EQ(CompareMapped(state, "B", "a"), -1);  // no folding of its own
}

TEST(CompareMapped, HyphenWeight1IsIgnoredAndBlankWeight0EndsTheString) {
    CollationState state;
    state.sortTable = IdentityTable();
    state.sortTable['-'] = 1;
    EXPECT_EQ(CompareMapped(state, "ab-c", "abc"), 0);
    EXPECT_EQ(CompareMapped(state, "-a-b-", "ab"), 0);
    state.sortTable[' '] = 0;
    EXPECT_EQ(CompareMapped(state, "ab cd", "ab xy"), 0);
    EXPECT_EQ(CompareMapped(state, "ab zz", "abc"), -1);
    EXPECT_EQ(MapString(state.sortTable, "new york"), "new");
}

TEST(CompareMapped, BytesFrom128To255IndexTheUpperEntries) {
    CollationState state;
    state.sortTable = IdentityTable();
    state.sortTable[0xE9] = 'e';  // é sorts as e
    state.sortTable[0xFF] = 2;    // ÿ first of all
    state.sortTable[0x80] = 1;    // € dropped
    EXPECT_EQ(CompareMapped(state, "caf\xE9", "cafe"), 0);
    EXPECT_EQ(CompareMapped(state, "\xFF", "\x03"), -1);
    EXPECT_EQ(CompareMapped(state,
                            "a\x80"
                            "b",
                            "ab"),
              0);
    EXPECT_EQ(MapString(state.sortTable, "\xE9\xFF"), "e\x02");
}

TEST(CompareCollated, FoldsOnlyAsciiLettersWithoutLocaleAndAsksThePlatformWithIt) {
    CollationState state;
    test::FakeCollation service;
    service.failing = true;  // must not be asked without a locale
    EXPECT_EQ(CompareCollated(state, service, "HOUSE", "house"), 0);
    EXPECT_EQ(CompareCollated(state, service, "Apple", "banana"), -1);
    EXPECT_EQ(CompareCollated(state, service, "_", "a"), -1);  // '_' (95) before 'a' (97), not before 'A'
    EXPECT_NE(CompareCollated(state, service, "\xC9t\xE9", "\xE9t\xE9"), 0);  // accented capitals stay
    EXPECT_EQ(CompareCollated(state, service, "\xE9", "z"), 1);               // unsigned bytes

    state.localeInForce = true;
    errno = 0;
    EXPECT_EQ(CompareCollated(state, service, "a", "b"), 2147483647);
    EXPECT_EQ(errno, EINVAL);
    service.failing = false;
    EXPECT_EQ(CompareCollated(state, service, "B", "a"), 1);
}

TEST(HeadWordKey, KeysOrderExactlyLikeTheComparisonTheyStandFor) {
    std::mt19937 random(4);
    const std::string alphabet = std::string("aAbBzZ-' _\x01\x7F\x80\xC9\xE9\xFF", 15);
    auto randomWord = [&] {
        std::string word(random() % 6, ' ');
        for (char& c : word) c = alphabet[random() % alphabet.size()];
        return word;
    };
    CollationState state;
    test::FakeCollation service;
    for (int b = 1; b < 256; ++b) state.sortTable[b] = static_cast<unsigned char>(random() % 8 == 0 ? random() % 2 : b);

    auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (int i = 0; i < 20000; ++i) {
        const std::string a = randomWord();
        const std::string b = randomWord();
        std::string keyA, keyB;
        AppendHeadWordKey(state, service, HeadWordOrder::Mapped, a, keyA);
        AppendHeadWordKey(state, service, HeadWordOrder::Mapped, b, keyB);
        ASSERT_EQ(sign(std::strcmp(keyA.c_str(), keyB.c_str())), CompareMapped(state, a, b)) << a << " | " << b;
        keyA.clear();
        keyB.clear();
        AppendHeadWordKey(state, service, HeadWordOrder::Collated, a, keyA);
        AppendHeadWordKey(state, service, HeadWordOrder::Collated, b, keyB);
        ASSERT_EQ(keyA.back(), '\0');
        ASSERT_EQ(sign(std::strcmp(keyA.c_str(), keyB.c_str())), CompareCollated(state, service, a, b))
            << a << " | " << b;
    }
}

TEST(HeadWordKey, CollatedKeysComeFromThePlatformWhileALocaleIsInForce) {
    CollationState state;
    test::FakeCollation service;
    std::string keys;
    AppendHeadWordKey(state, service, HeadWordOrder::Collated, "Ab", keys);
    state.localeInForce = true;
    AppendHeadWordKey(state, service, HeadWordOrder::Collated, "Ab", keys);
    service.failing = true;  // a key that cannot be made sorts after every real key
    AppendHeadWordKey(state, service, HeadWordOrder::Collated, "Ab", keys);
    EXPECT_EQ(keys, std::string("ab\0~ab\0\xFF\xFF\xFF"
                                "ab\0",
                                13));
}

}  // namespace
}  // namespace setup
