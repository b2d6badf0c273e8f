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
    LoadedWordList records(count, WordRecord{});
    for (WordRecord& record : records) {
        const size_t length = random() % 31;  // up to the full 30 characters
        for (size_t i = 0; i < length; ++i) record.headWord[i] = alphabet[random() % alphabet.size()];
    }
    return records;
}

struct SortFixture {
    test::RecordingSurface surface;
    ProgressDisplay display{surface, true};
    CollationState state;
    test::FakeCollation service;

    LoadedWordList Records(const std::vector<std::string>& heads) {
        LoadedWordList records(heads.size(), WordRecord{});
        for (size_t i = 0; i < heads.size(); ++i) std::strcpy(records[i].headWord, heads[i].c_str());
        return records;
    }
    std::vector<std::uint32_t> Sort(const LoadedWordList& records, bool countComparisons = true) {
        return SortHeadWords(records, state, service, display, countComparisons);
    }
};

TEST(SortHeadWords, CountsAndShowsEveryThousandthComparisonOnlyWithDetailLines) {
    std::mt19937 random(3);
    const LoadedWordList records = RandomList(random, 300);
    SortFixture f;
    f.Sort(records, false);
    EXPECT_EQ(f.state.comparisonCounter, 0);
    EXPECT_TRUE(f.surface.calls.empty());

    f.Sort(records);
    const std::int32_t comparisons = f.state.comparisonCounter;
    ASSERT_GT(comparisons, 2000);
    std::vector<std::string> expected;
    for (std::int32_t v = 0; v < comparisons; v += 1000) expected.push_back(std::to_string(v));
    EXPECT_EQ(f.surface.Counters(), expected);

    // The counter wraps instead of overflowing, and negative multiples of 1000 show too.
    f.surface.calls.clear();
    f.state.comparisonCounter = INT_MAX;
    f.Sort(f.Records({"b", "a"}));
    EXPECT_EQ(f.state.comparisonCounter, INT_MIN);
    f.state.comparisonCounter = -2147483000;
    f.Sort(f.Records({"b", "a"}));
    EXPECT_EQ(f.surface.Counters(), (std::vector<std::string>{"-2147483000"}));
}

// The order of the sorted heads, as their positions in heads.
std::vector<std::string> SortedHeads(SortFixture& f, const std::vector<std::string>& heads) {
    const LoadedWordList records = f.Records(heads);
    std::vector<std::string> sorted;
    for (std::uint32_t i : f.Sort(records)) sorted.emplace_back(HeadWordText(records[i]));
    return sorted;
}

TEST(SortHeadWords, ComparesWholeKeysBeyondTheirFirstSixteenBytes) {
    SortFixture f;
    // Keys that end in the first or second chunk of the inline prefix, right after it, after
    // the third chunk, and at the full 30 characters; pairs equal but for letter case.
    const std::vector<std::string> heads = {
        "abcdefghijklmnopqrstuvwxyz1235",
        "abcdefghijklmnopqrstuvwx",
        "abcdefghijklmnopq",
        "abcdefghB",
        "ABCDEFGHa",
        "abcdefgh",
        "abcdefg",
        "abcdefghijklmnop",
        "abcdefghijklmnopqrstuvwxyz1234",
        "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234",
        "ABCDEFGHIJKLMNOP",
    };
    const std::vector<std::string> sorted = SortedHeads(f, heads);
    ASSERT_EQ(sorted.size(), heads.size());
    const std::vector<std::string> expected = {
        "abcdefg",
        "abcdefgh",
        "ABCDEFGHa",
        "abcdefghB",
        "?",
        "?",
        "abcdefghijklmnopq",
        "abcdefghijklmnopqrstuvwx",
        "?",
        "?",
        "abcdefghijklmnopqrstuvwxyz1235",
    };
    for (size_t i = 0; i < sorted.size(); ++i) {
        if (expected[i] != "?") {
            EXPECT_EQ(sorted[i], expected[i]) << i;
        }
    }
    // The case variants stand next to each other, in either order.
    EXPECT_TRUE(EqualsIgnoreCase(sorted[4], "abcdefghijklmnop") && EqualsIgnoreCase(sorted[5], "abcdefghijklmnop"));
    EXPECT_NE(sorted[4], sorted[5]);
    EXPECT_TRUE(EqualsIgnoreCase(sorted[8], heads[8]) && EqualsIgnoreCase(sorted[9], heads[8]));
    EXPECT_NE(sorted[8], sorted[9]);
}

TEST(SortHeadWords, OrdersPlatformKeysLongerThanAHeadWord) {
    // A failing platform key is three 0xFF bytes before the folded head word: 33 bytes and
    // a zero for a head word of 30 characters.
    SortFixture f;
    f.state.localeInForce = true;
    f.service.failing = true;
    const std::vector<std::string> sorted = SortedHeads(
        f, {"abcdefghijklmnopqrstuvwxyz1235", "abcdefghijklmnopqrstuvwxyz1234", "abcdefghijklmnopqrstuvwxyz123"});
    EXPECT_EQ(sorted, (std::vector<std::string>{"abcdefghijklmnopqrstuvwxyz123", "abcdefghijklmnopqrstuvwxyz1234",
                                                "abcdefghijklmnopqrstuvwxyz1235"}));
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
        const std::vector<std::uint32_t> order = f.Sort(records);
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

TEST(SortHeadWords, ByteIdenticalHeadWordsStandTogetherAmongVariantsThatOrderEqual) {
    std::mt19937 random(11);
    const std::vector<std::string> variants = {"Bank", "bank", "BANK", "b-ank", "bAnk"};
    std::vector<std::string> heads;
    for (int i = 0; i < 400; ++i) heads.push_back(variants[random() % variants.size()]);
    for (bool tableLoaded : {false, true}) {
        SortFixture f;
        if (tableLoaded) {
            f.state.sortTableLoaded = true;
            for (int b = 1; b < 256; ++b) f.state.sortTable[b] = static_cast<unsigned char>(FoldAscii(b));
            f.state.sortTable['-'] = 1;  // "b-ank" orders equal to "bank" as well
        }
        const std::vector<std::string> sorted = SortedHeads(f, heads);
        std::vector<std::string> runs;  // one entry per run of byte-identical head words
        for (const std::string& head : sorted)
            if (runs.empty() || runs.back() != head) runs.push_back(head);
        std::sort(runs.begin(), runs.end());
        EXPECT_EQ(runs, (std::vector<std::string>{"BANK", "Bank", "b-ank", "bAnk", "bank"})) << tableLoaded;
    }
}

TEST(SortHeadWords, ComparisonCounterRunsOnAcrossSorts) {
    std::mt19937 random(9);
    SortFixture f;
    f.Sort(RandomList(random, 300));
    const std::int32_t afterFirst = f.state.comparisonCounter;
    ASSERT_GT(afterFirst, 1000);
    std::vector<std::string> expected;
    for (std::int32_t v = 0; v < afterFirst; v += 1000) expected.push_back(std::to_string(v));
    EXPECT_EQ(f.surface.Counters(), expected);

    f.surface.calls.clear();
    f.Sort(RandomList(random, 300));
    ASSERT_GT(f.state.comparisonCounter, afterFirst);
    expected.clear();
    for (std::int32_t v = (afterFirst + 999) / 1000 * 1000; v < f.state.comparisonCounter; v += 1000)
        expected.push_back(std::to_string(v));
    EXPECT_EQ(f.surface.Counters(), expected);
}

}  // namespace
}  // namespace setup
