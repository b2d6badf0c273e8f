#include "wordlist/head_word_sort.h"

#include <algorithm>
#include <cstring>

#include "wordlist/word_list_progress.h"

namespace setup {

namespace {

constexpr size_t kChunkBytes = sizeof(std::uint64_t);
constexpr size_t kPrefixBytes = 2 * kChunkBytes;
constexpr std::int32_t kComparisonsPerCounter = 1000;

// Eight key bytes as one big-endian number: numbers order like the bytes they hold.
std::uint64_t KeyChunk(const char* bytes) {
    std::uint64_t chunk = 0;
    for (size_t i = 0; i < kChunkBytes; ++i) chunk = (chunk << 8) | static_cast<unsigned char>(bytes[i]);
    return chunk;
}

// Keys are zero-padded, so the chunk that holds the end of a key ends in a zero byte.
bool EndsKey(std::uint64_t chunk) { return (chunk & 0xFF) == 0; }

void CountComparison(CollationState& state, WordListProgress& progress) {
    if (state.comparisonCounter % kComparisonsPerCounter == 0) progress.DrawCounter(state.comparisonCounter);
    // Wraps instead of overflowing after 2^31 comparisons.
    state.comparisonCounter = static_cast<std::int32_t>(static_cast<std::uint32_t>(state.comparisonCounter) + 1u);
}

int CompareChunks(std::uint64_t a, std::uint64_t b) { return a < b ? -1 : 1; }

// The comparison of two keys equal in their first sixteen bytes, which both go on in rest.
int CompareRests(const char* rest, const HeadWordSortEntry& a, const HeadWordSortEntry& b) {
    for (size_t at = 0;; at += kChunkBytes) {
        const std::uint64_t chunkA = KeyChunk(rest + a.restOffset + at);
        const std::uint64_t chunkB = KeyChunk(rest + b.restOffset + at);
        if (chunkA != chunkB) return CompareChunks(chunkA, chunkB);
        if (EndsKey(chunkA)) return 0;
    }
}

// Kept small so that it is inlined into the sort also at -O2: a call for every comparison
// costs a tenth of the whole build. The rare longer keys take the call to CompareRests.
inline int CompareKeys(const char* rest, const HeadWordSortEntry& a, const HeadWordSortEntry& b) {
    if (a.prefix[0] != b.prefix[0]) return CompareChunks(a.prefix[0], b.prefix[0]);
    if (EndsKey(a.prefix[0])) return 0;
    if (a.prefix[1] != b.prefix[1]) return CompareChunks(a.prefix[1], b.prefix[1]);
    if (EndsKey(a.prefix[1])) return 0;
    return CompareRests(rest, a, b);
}

}  // namespace

HeadWordKeys MakeHeadWordKeys(const LoadedWordList& records, const CollationState& state, CollationService& service,
                              HeadWordOrder order) {
    HeadWordKeys keys;
    keys.entries.reserve(records.size());
    std::string key;
    for (size_t i = 0; i < records.size(); ++i) {
        key.clear();
        AppendHeadWordKey(state, service, order, HeadWordText(records[i]), key);
        // Zeros up to a multiple of eight, and at least up to the end of the prefix.
        key.resize(std::max(kPrefixBytes, (key.size() + kChunkBytes - 1) / kChunkBytes * kChunkBytes), '\0');
        keys.entries.push_back({{KeyChunk(key.data()), KeyChunk(key.data() + kChunkBytes)},
                                static_cast<std::uint32_t>(keys.rest.size()),
                                static_cast<std::uint32_t>(i)});
        keys.rest.append(key, kPrefixBytes);
    }
    return keys;
}

std::vector<std::uint32_t> SortHeadWords(const LoadedWordList& records, CollationState& state,
                                         CollationService& service, WordListProgress& progress, bool countComparisons) {
    HeadWordKeys keys = MakeHeadWordKeys(records, state, service, ChooseHeadWordOrder(state));
    // A merge sort: about a fifth fewer comparisons than an introsort and a sequential memory
    // pattern; its stability is not needed. Without memory for its buffer (half the entries)
    // it merges in place, more slowly.
    std::stable_sort(
        keys.entries.begin(), keys.entries.end(), [&](const HeadWordSortEntry& a, const HeadWordSortEntry& b) {
            if (countComparisons) CountComparison(state, progress);
            const int byKey = CompareKeys(keys.rest.data(), a, b);
            if (byKey != 0) return byKey < 0;
            // Equal keys ("Bank", "bank") are ordered by their bytes, so that
            // byte-identical head words always stand together and merge into one
            // record.
            return std::strncmp(records[a.record].headWord, records[b.record].headWord, kHeadWordFieldSize) < 0;
        });
    std::vector<std::uint32_t> order;
    order.reserve(keys.entries.size());
    for (const HeadWordSortEntry& entry : keys.entries) order.push_back(entry.record);
    return order;
}

}  // namespace setup
