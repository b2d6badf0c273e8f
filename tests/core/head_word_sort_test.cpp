#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <random>

#include "progress_recorder.h"
#include "word_list_files.h"
#include "wordlist/head_word_sort.h"

namespace setup {
namespace {

LoadedWordList RandomList(std::mt19937& random, size_t count) {
    const std::string alphabet = "aAbBcC-' \xE9\xC9\xFF";
    LoadedWordList records(count);
    for (WordRecord& record : records) {
        const size_t length = random() % 31;  // up to the full 30 characters
        for (size_t i = 0; i < length; ++i) record.headWord[i] = alphabet[random() % alphabet.size()];
    }
    return records;
}

struct SortFixture {
    test::RecordingSurface surface;
    InstallSettings settings;
    ProgressDisplay display{surface, settings};
    CollationState state;
    test::FakeCollation service;
};

TEST(CompareHeadWords, CountsAndShowsEveryThousandthComparisonOnlyWithDetailLines) {
    SortFixture f;
    const HeadWordKeys keys = MakeHeadWordKeys(LoadedWordList(2), f.state, f.service, HeadWordOrder::Collated);
    for (int i = 0; i < 2500; ++i) EXPECT_EQ(CompareHeadWords(keys.rest, keys.entries[0], keys.entries[1], f.state, f.display), 0);
    EXPECT_EQ(f.state.comparisonCounter, 2500);
    EXPECT_EQ(f.surface.Counters(), (std::vector<std::string>{"0", "1000", "2000"}));

    f.settings.detailFlag = false;
    f.surface.calls.clear();
    for (int i = 0; i < 2500; ++i) CompareHeadWords(keys.rest, keys.entries[0], keys.entries[1], f.state, f.display);
    EXPECT_EQ(f.state.comparisonCounter, 2500);
    EXPECT_TRUE(f.surface.calls.empty());

    // The counter wraps instead of overflowing, and negative multiples of 1000 show too.
    f.settings.detailFlag = true;
    f.state.comparisonCounter = INT_MAX;
    CompareHeadWords(keys.rest, keys.entries[0], keys.entries[1], f.state, f.display);
    EXPECT_EQ(f.state.comparisonCounter, INT_MIN);
    f.state.comparisonCounter = -2147483000;
    CompareHeadWords(keys.rest, keys.entries[0], keys.entries[1], f.state, f.display);
    EXPECT_EQ(f.surface.Counters(), (std::vector<std::string>{"-2147483000"}));
}

TEST(CompareHeadWords, ComparesWholeKeysBeyondTheirFirstSixteenBytes) {
    SortFixture f;
    const std::vector<std::string> heads = {
        "abcdefgh",                        // 0: ends in the first chunk of the prefix
        "ABCDEFGHa",                       // 1: ends in the second chunk
        "abcdefghB",                       // 2
        "abcdefg",                         // 3
        "abcdefghijklmnop",                // 4: its zero starts the bytes after the prefix
        "ABCDEFGHIJKLMNOP",                // 5: equal to 4
        "abcdefghijklmnopq",               // 6
        "abcdefghijklmnopqrstuvwx",        // 7: ends right after the third chunk
        "abcdefghijklmnopqrstuvwxyz1234",  // 8: the full 30 characters
        "abcdefghijklmnopqrstuvwxyz1235",  // 9
        "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234",  // 10: equal to 8
    };
    LoadedWordList records(heads.size());
    for (size_t i = 0; i < heads.size(); ++i) std::strcpy(records[i].headWord, heads[i].c_str());
    const HeadWordKeys keys = MakeHeadWordKeys(records, f.state, f.service, HeadWordOrder::Collated);
    auto compare = [&](int a, int b) { return CompareHeadWords(keys.rest, keys.entries[a], keys.entries[b], f.state, f.display); };
    EXPECT_EQ(compare(0, 1), -1);
    EXPECT_EQ(compare(1, 2), -1);
    EXPECT_EQ(compare(2, 1), 1);
    EXPECT_EQ(compare(3, 0), -1);
    EXPECT_EQ(compare(0, 0), 0);
    EXPECT_EQ(compare(4, 5), 0);
    EXPECT_EQ(compare(4, 6), -1);
    EXPECT_EQ(compare(6, 4), 1);
    EXPECT_EQ(compare(6, 7), -1);
    EXPECT_EQ(compare(7, 8), -1);
    EXPECT_EQ(compare(8, 9), -1);
    EXPECT_EQ(compare(9, 8), 1);
    EXPECT_EQ(compare(8, 10), 0);
    EXPECT_EQ(compare(10, 9), -1);
    // Every pair as the ASCII fold orders the head words.
    for (size_t a = 0; a < heads.size(); ++a) {
        for (size_t b = 0; b < heads.size(); ++b) {
            EXPECT_EQ(compare(static_cast<int>(a), static_cast<int>(b)), CompareAsciiFold(heads[a], heads[b])) << a << ", " << b;
        }
    }
}

TEST(CompareHeadWords, ComparesPlatformKeysLongerThanAHeadWord) {
    // A failing platform key is three 0xFF bytes before the folded head word: 33 bytes and
    // a zero for a head word of 30 characters.
    SortFixture f;
    f.state.localeInForce = true;
    f.service.failing = true;
    LoadedWordList records(3);
    std::strcpy(records[0].headWord, "abcdefghijklmnopqrstuvwxyz1234");
    std::strcpy(records[1].headWord, "abcdefghijklmnopqrstuvwxyz1235");
    std::strcpy(records[2].headWord, "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234");
    const HeadWordKeys keys = MakeHeadWordKeys(records, f.state, f.service, HeadWordOrder::Collated);
    auto compare = [&](int a, int b) { return CompareHeadWords(keys.rest, keys.entries[a], keys.entries[b], f.state, f.display); };
    EXPECT_EQ(compare(0, 1), -1);
    EXPECT_EQ(compare(1, 0), 1);
    EXPECT_EQ(compare(0, 2), 0);
    EXPECT_EQ(compare(2, 1), -1);
}

TEST(SortHeadWords, OrdersByTheTableWhenOneIsLoadedAndByTheCollationOtherwise) {
    std::mt19937 random(7);
    for (bool tableLoaded : {false, true}) {
        SortFixture f;
        if (tableLoaded) {
            f.state.sortTableLoaded = true;
            for (int b = 1; b < 256; ++b) f.state.sortTable[b] = static_cast<unsigned char>(256 - b);
            f.state.sortTable['-'] = 1;
            f.state.sortTable[' '] = 0;
        }
        const LoadedWordList records = RandomList(random, 3000);
        const std::vector<std::uint32_t> order = SortHeadWords(records, f.state, f.service, f.display);
        std::vector<std::uint32_t> sorted = order;
        std::sort(sorted.begin(), sorted.end());
        for (std::uint32_t i = 0; i < records.size(); ++i) ASSERT_EQ(sorted[i], i);  // a permutation
        for (size_t i = 1; i < order.size(); ++i) {
            const std::string_view a = HeadWordText(records[order[i - 1]]);
            const std::string_view b = HeadWordText(records[order[i]]);
            ASSERT_LE(tableLoaded ? CompareMapped(f.state, a, b) : CompareCollated(f.state, f.service, a, b), 0)
                << i << ": " << a << " | " << b;
        }
    }
}

TEST(SortHeadWords, ComparisonCounterRunsOnAcrossSorts) {
    std::mt19937 random(9);
    SortFixture f;
    SortHeadWords(RandomList(random, 150), f.state, f.service, f.display);
    const std::int32_t afterFirst = f.state.comparisonCounter;
    ASSERT_GT(afterFirst, 1000);
    std::vector<std::string> expected;
    for (std::int32_t v = 0; v < afterFirst; v += 1000) expected.push_back(std::to_string(v));
    EXPECT_EQ(f.surface.Counters(), expected);

    f.surface.calls.clear();
    SortHeadWords(RandomList(random, 150), f.state, f.service, f.display);
    ASSERT_GT(f.state.comparisonCounter, afterFirst);
    expected.clear();
    for (std::int32_t v = (afterFirst + 999) / 1000 * 1000; v < f.state.comparisonCounter; v += 1000)
        expected.push_back(std::to_string(v));
    EXPECT_EQ(f.surface.Counters(), expected);
}

}  // namespace
}  // namespace setup
